#include "rest/balancerequest.h"

#include "rest/jsoncodec.h"
#include "util/log.h"

BalanceRequest::BalanceRequest(QObject *parent) : RestRequest(parent) { }

QString BalanceRequest::baseUrl() const
{
    return serviceUrls().accountBalanceServiceBaseURL;
}

void BalanceRequest::getBalance()
{
    sendRequest(collectionUrl(baseUrl()), Get);
}

// The service wraps a balance in a one-element list; a bare object is its error reply.
void BalanceRequest::onFinish(const QByteArray &result, const int httpStatusCode)
{
    Q_UNUSED(httpStatusCode)
    bool ok = false;
    const QVariant value = JsonCodec::parse(replyText(result), ok);
    if (!ok) {
        LOG_TRACE << requestName() << "Can not parse json:" << traceBytes(result);
        emit requestError();
        return;
    }
    const QVariantList list = valueAsList(value);
    if (!list.isEmpty()) {
        emit finished(Balance(list.first()));
        return;
    }
    const Balance balance(value);
    if (!balance.errorMessage().isEmpty())
        LOG_TRACE << requestName() << balance.errorMessage();
}
