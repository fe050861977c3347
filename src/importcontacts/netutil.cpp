#include "netutil.h"

#include <QNetworkReply>

#include "util/log.h"

bool NetUtil::checkReplyIsOk(QNetworkReply *reply)
{
    if (!reply) {
        LOG_TRACE << "Reply is NULL";
        return false;
    }
    if (reply->error() != QNetworkReply::NoError) {
        // The URL is left out: Qt's error text may quote it, and the importers' URLs carry tokens.
        LOG_TRACE << "Reply error:" << reply->error()
                  << reply->errorString().replace(reply->url().toString(), reply->url().path());
        return false;
    }
    return true;
}
