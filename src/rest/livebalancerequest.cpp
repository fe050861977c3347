#include "rest/livebalancerequest.h"

LiveBalanceRequest::LiveBalanceRequest(QObject *parent) : BalanceRequest(parent) { }

QString LiveBalanceRequest::baseUrl() const
{
    return serviceUrls().accountLiveBalanceServiceBaseURL;
}

void LiveBalanceRequest::getLiveBalance()
{
    getBalance();
}
