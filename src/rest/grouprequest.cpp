#include "rest/grouprequest.h"

#include "rest/jsoncodec.h"
#include "util/log.h"

namespace {
const char listModeProperty[] = "talkvane.listMode";
}

GroupRequest::GroupRequest(QObject *parent) : RestRequest(parent) { }

void GroupRequest::send(const QUrl &url, int verb, bool list, const Group *group)
{
    m_listMode = list;
    sendRequest(url, verb, group);
}

void GroupRequest::getGroups()
{
    send(collectionUrl(serviceUrls().adressBookGroupServiceBaseURL), Get, true);
}

void GroupRequest::addGroup(const Group &group)
{
    send(collectionUrl(serviceUrls().adressBookGroupServiceBaseURL), Put, false, &group);
}

void GroupRequest::renameGroup(const QString &oldName, const Group &group)
{
    send(itemUrl(serviceUrls().adressBookGroupServiceBaseURL, oldName), Post, false, &group);
}

void GroupRequest::deleteGroup(const Group &group)
{
    send(itemUrl(serviceUrls().adressBookGroupServiceBaseURL, group.name()), Delete, false);
}

void GroupRequest::tagReply(QNetworkReply *reply) const
{
    reply->setProperty(listModeProperty, m_listMode);
}

void GroupRequest::restoreFromReply(const QNetworkReply *reply)
{
    const QVariant list = reply->property(listModeProperty);
    if (list.isValid())
        m_listMode = list.toBool();
}

void GroupRequest::onFinish(const QByteArray &result, const int httpStatusCode)
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(replyText(result), ok);
    if (!ok) {
        LOG_TRACE << "Can not parse json:" << traceBytes(result);
        // A delete is answered with an empty 2xx reply, which is no error.
        if (httpStatusCode < 200 || httpStatusCode > 299)
            emit requestError();
        return;
    }
    if (m_listMode) {
        QList<Group> groups;
        const QVariantList list = valueAsList(value);
        for (const QVariant &item : list)
            groups.append(Group(item));
        if (groups.isEmpty())
            LOG_TRACE << "List size is < 0";
        emit finished(groups);
        return;
    }
    if (verb() == Put)
        emit groupAdded();
    emit finished(Group(value));
}
