#include "contactimporter.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextCodec>

#include <algorithm>

#include "importcontacts/netutil.h"
#include "rest/jsoncodec.h"
#include "rest/restrequest.h"
#include "util/log.h"

const char ContactImporter::formContentType[] = "application/x-www-form-urlencoded;charset=\"utf-8\"";
const char ContactImporter::jsonAccept[] = "text/json;charset=\"utf-8\"";

ContactImporter::ContactImporter(QObject *parent) : QObject(parent), manager(new QNetworkAccessManager(this))
{ }

ContactImporter::~ContactImporter() = default;

const QList<ImportedContact> &ContactImporter::sortedContacts()
{
    if (!sortedMade) {
        sorted = imported;
        std::stable_sort(sorted.begin(), sorted.end(), &ImportedContact::lessByName);
        sortedMade = true;
    }
    return sorted;
}

void ContactImporter::setCredentials(const QString &username, const QString &password)
{
    m_username = username;
    m_password = password;
}

QNetworkRequest ContactImporter::makeRequest(const QUrl &url) const
{
    QNetworkRequest request(url);
    if (url.scheme() == QLatin1String("https"))
        request.setSslConfiguration(RestRequest::sslConfiguration());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (timeoutMs > 0)
        request.setTransferTimeout(timeoutMs);
    return request;
}

QNetworkReply *ContactImporter::sendGet(const QNetworkRequest &request)
{
    releaseReply();
    return track(manager->get(request));
}

QNetworkReply *ContactImporter::sendPost(const QNetworkRequest &request, const QByteArray &body)
{
    releaseReply();
    return track(manager->post(request, body));
}

QNetworkReply *ContactImporter::track(QNetworkReply *sent)
{
    reply = sent;
    return sent;
}

void ContactImporter::releaseReply()
{
    if (!reply)
        return;
    LOG_TRACE << "Deleting previous reply";
    reply->disconnect(this);
    if (!reply->isFinished())
        reply->abort();
    reply->deleteLater();
    reply = nullptr;
}

QNetworkReply *ContactImporter::replyFor(QObject *sender) const
{
    QNetworkReply *answer = qobject_cast<QNetworkReply *>(sender);
    if (!answer || answer != reply || done)
        return nullptr;
    return answer;
}

QNetworkReply *ContactImporter::handledReply(QObject *sender)
{
    if (!qobject_cast<QNetworkReply *>(sender)) {
        LOG_TRACE << "Reply is NULL";
        reportNetworkError();
        return nullptr;
    }
    return replyFor(sender);
}

QNetworkReply *ContactImporter::okReply(QObject *sender)
{
    QNetworkReply *answer = handledReply(sender);
    if (answer && !NetUtil::checkReplyIsOk(answer)) {
        reportNetworkError();
        return nullptr;
    }
    return answer;
}

void ContactImporter::beginImport()
{
    releaseReply();
    imported.clear();
    sorted.clear();
    sortedMade = false;
    done = false;
}

void ContactImporter::addContact(const ImportedContact &contact)
{
    imported.append(contact);
    sortedMade = false;
}

void ContactImporter::finishWith(const QList<ImportedContact> &entries, bool parsed)
{
    if (!parsed) {
        reportNetworkError();
        return;
    }
    for (const ImportedContact &entry : entries)
        addContact(entry);
    reportProgress(100);
    reportFinished();
}

void ContactImporter::reportProgress(int progress)
{
    if (!done)
        emit progressUpdate(progress);
}

void ContactImporter::reportFinished()
{
    if (done)
        return;
    done = true;
    LOG_TRACE << "Imported" << imported.size() << "entries";
    emit finished();
}

void ContactImporter::reportNetworkError()
{
    if (done)
        return;
    done = true;
    emit networkError();
}

void ContactImporter::reportLoginError()
{
    if (done)
        return;
    done = true;
    emit errorLoggingIn();
}

bool ContactImporter::endImport()
{
    if (done)
        return false;
    done = true;
    return true;
}

QUrl ContactImporter::redirectTarget(QNetworkReply *reply)
{
    if (!reply)
        return QUrl();
    const QByteArray location = reply->rawHeader("Location");
    if (location.isEmpty())
        return QUrl();
    return reply->url().resolved(QUrl::fromEncoded(location.trimmed()));
}

QString ContactImporter::replyText(QNetworkReply *reply, const QByteArray &bytes)
{
    const QString type = reply ? reply->header(QNetworkRequest::ContentTypeHeader).toString() : QString();
    const int at = type.indexOf(QLatin1String("charset="), 0, Qt::CaseInsensitive);
    if (at >= 0) {
        QString name = type.mid(at + 8).section(QLatin1Char(';'), 0, 0).trimmed();
        name.remove(QLatin1Char('"'));
        if (QTextCodec *codec = QTextCodec::codecForName(name.toLatin1()))
            return codec->toUnicode(bytes);
    }
    return QString::fromUtf8(bytes);
}

QVariantList ContactImporter::jsonList(const QVariant &value)
{
    return value.userType() == QMetaType::QVariantList ? value.toList() : QVariantList();
}

bool ContactImporter::jsonMember(const QString &json, const QString &key, QVariantMap *member)
{
    bool parsed = false;
    const QVariant root = JsonCodec::parse(json, parsed);
    const QVariant value = root.toMap().value(key);
    const bool found
        = parsed && root.userType() == QMetaType::QVariantMap && value.userType() == QMetaType::QVariantMap;
    *member = found ? value.toMap() : QVariantMap();
    return found;
}
