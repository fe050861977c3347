#include "rest/contactrequest.h"

#include "rest/jsoncodec.h"
#include "util/log.h"

namespace {
const char listModeProperty[] = "talkvane.listMode";
}

ContactRequest::ContactRequest(QObject *parent) : RestRequest(parent) { }

void ContactRequest::send(const QUrl &url, int verb, bool list, const Contact *contact)
{
    m_listMode = list;
    sendRequest(url, verb, contact);
}

void ContactRequest::getContact(const QString &id)
{
    send(itemUrl(serviceUrls().adressBookContactServiceBaseURL, id), Get, false);
}

void ContactRequest::getContacts()
{
    send(collectionUrl(serviceUrls().adressBookContactServiceBaseURL), Get, true);
}

void ContactRequest::addContact(const Contact &contact)
{
    send(itemUrl(serviceUrls().adressBookContactServiceBaseURL, contact.nick()), Put, false, &contact);
}

void ContactRequest::updateContact(const Contact &contact)
{
    send(itemUrl(serviceUrls().adressBookContactServiceBaseURL, contact.nick()), Post, false, &contact);
}

void ContactRequest::deleteContact(const Contact &contact)
{
    send(itemUrl(serviceUrls().adressBookContactServiceBaseURL, contact.nick()), Delete, false);
}

void ContactRequest::tagReply(QNetworkReply *reply) const
{
    reply->setProperty(listModeProperty, m_listMode);
}

void ContactRequest::restoreFromReply(const QNetworkReply *reply)
{
    const QVariant list = reply->property(listModeProperty);
    if (list.isValid())
        m_listMode = list.toBool();
}

void ContactRequest::onFinish(const QByteArray &result, const int httpStatusCode)
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(replyText(result), ok);
    if (!ok || !value.isValid()) {
        LOG_TRACE << "Cannot parse json:" << traceBytes(result);
        // A delete is answered with an empty 2xx reply.
        if (httpStatusCode >= 200 && httpStatusCode <= 299)
            emit contactDeleted();
        else
            emit requestError();
        return;
    }
    if (m_listMode) {
        QList<Contact> contacts;
        const QVariantList list = valueAsList(value);
        for (const QVariant &item : list)
            contacts.append(Contact(item));
        if (contacts.isEmpty())
            LOG_TRACE << "List size is < 0";
        emit finished(contacts);
        return;
    }
    if (verb() == Put) {
        emit contactUpdated();
        return;
    }
    emit finished(Contact(value));
}
