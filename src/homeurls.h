#pragma once

#include <QUrl>

// The brand's web pages (shop, account, rates), from the same INI as ServiceUrls.
struct HomeUrls
{
    QUrl buyCreditURL;
    QUrl enableVoiceMailURL;
    QUrl forgotPasswordURL;
    QUrl homePageURL;
    QUrl contactURL;
    QUrl onlineNumberURL;
    QUrl callForwardingURL;
    QUrl viewRatesURL;
    QUrl viewSMSRatesURL;

    // A process-wide copy, loaded on first use and never freed; holds the same values as the
    // factory's record.
    static const HomeUrls &instance();

    // Missing keys give empty URLs.
    static HomeUrls load(const QString &brand, const QString &file);
    static HomeUrls load();
};
