#include "rest/inviterequest.h"

#include "rest/jsoncodec.h"
#include "util/log.h"

InviteRequest::InviteRequest(QObject *parent) : RestRequest(parent) { }

void InviteRequest::sendInvite(const Invite &invite)
{
    sendRequest(collectionUrl(serviceUrls().accountInviteServiceBaseURL), Put, &invite);
}

void InviteRequest::onFinish(const QByteArray &result, const int httpStatusCode)
{
    Q_UNUSED(httpStatusCode)
    bool ok = false;
    const QVariant value = JsonCodec::parse(replyText(result), ok);
    if (!ok) {
        LOG_TRACE << "Invite: Can not parse json:" << traceBytes(result);
        emit requestError();
        return;
    }
    emit finished(Invite(value));
}
