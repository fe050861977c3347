#include "rest/onlinenumberlistrequest.h"

#include "rest/jsoncodec.h"
#include "util/log.h"

OnlineNumberListRequest::OnlineNumberListRequest(QObject *parent) : RestRequest(parent) { }

void OnlineNumberListRequest::getOnlineNumbers()
{
    sendRequest(collectionUrl(serviceUrls().accountVirtualNumberServiceBaseURL), Get);
}

void OnlineNumberListRequest::onFinish(const QByteArray &result, const int httpStatusCode)
{
    Q_UNUSED(httpStatusCode)
    bool ok = false;
    const QVariant value = JsonCodec::parse(replyText(result), ok);
    if (!ok) {
        LOG_TRACE << "Can not parse json:" << traceBytes(result);
        emit requestError();
        return;
    }
    QList<OnlineNumber> numbers;
    const QVariantList list = valueAsList(value);
    for (const QVariant &item : list)
        numbers.append(OnlineNumber(item));
    if (numbers.isEmpty())
        LOG_TRACE << "List size is == 0";
    emit finished(numbers);
}
