#include "rest/accountrequest.h"

#include "rest/jsoncodec.h"
#include "rest/machineid.h"
#include "util/log.h"

AccountRequest::AccountRequest(QObject *parent) : RestRequest(parent) { }

QString AccountRequest::currentApplicationId()
{
    return machineid::applicationId(machineId());
}

void AccountRequest::getAccount()
{
    sendRequest(
        signInUrl(serviceUrls().accountServiceBaseURL, username(), password(), currentApplicationId()), Get);
}

void AccountRequest::updateAccount(const Account &account)
{
    sendRequest(collectionUrl(serviceUrls().accountServiceBaseURL), Put, &account);
}

bool AccountRequest::reportsProxyErrors(int verb) const
{
    return verb == Get;
}

// The account reply carries the web and the voice password, so it is never traced as it stands.
void AccountRequest::onFinish(const QByteArray &result, const int httpStatusCode)
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(replyText(result), ok);
    if (!ok) {
        LOG_TRACE << "Can not parse json:" << result.size() << "bytes, HTTP status" << httpStatusCode;
        emit requestError();
        return;
    }
    const QVariantList list = valueAsList(value);
    if (!list.isEmpty()) {
        emit finished(Account(list.first()));
        return;
    }
    LOG_TRACE << "Account reply is not a list; its members:" << value.toMap().keys();
    emit finished(Account(value));
}
