#include "rest/smsrequest.h"

#include "rest/jsoncodec.h"
#include "util/log.h"

SMSRequest::SMSRequest(QObject *parent) : RestRequest(parent) { }

void SMSRequest::sendSMS(const SMS &sms)
{
    sendRequest(collectionUrl(serviceUrls().accountSMSServiceBaseURL), Put, &sms);
}

void SMSRequest::onFinish(const QByteArray &result, const int httpStatusCode)
{
    Q_UNUSED(httpStatusCode)
    bool ok = false;
    const QVariant value = JsonCodec::parse(replyText(result), ok);
    if (!ok) {
        LOG_TRACE << "Can not parse json:" << traceBytes(result);
        emit requestError();
        return;
    }
    emit finished(SMS(value));
}
