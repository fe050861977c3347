#pragma once

#include <QString>

// The web-service endpoints of the brand, as base URLs to which the request transport appends its
// path and query, and the voice server the talk connection signs in to.
//
// They come from the compiled-in INI ":/urls/urls.ini" (sections "<brand>.Webservices" and
// "<brand>.HomeUrls"). The brand is "Tellmarsh" unless TALKVANE_BRAND names another; when
// TALKVANE_URLS_FILE names a readable INI file of the same form, that file is read instead.
struct ServiceUrls
{
    QString accountBalanceServiceBaseURL;
    QString accountLiveBalanceServiceBaseURL;
    QString accountCallForwardServiceBaseURL;
    QString accountServiceBaseURL;
    QString accountVirtualNumberServiceBaseURL;
    QString adressBookContactServiceBaseURL;
    QString adressBookGroupServiceBaseURL;
    QString accountCDRsServiceBaseURL;
    QString accountVoiceMailServiceBaseURL;
    QString accountInviteServiceBaseURL;
    QString accountSMSServiceBaseURL;
    QString bugReportURL;
    // The voice (XMPP) server; port 0 when the configuration has none.
    QString voiceHost;
    int voicePort = 0;
    // The web-mail services the contact importers sign in to (scheme, host and port; the importers
    // append their paths).
    QString googleAccountsBaseURL;
    QString googleContactsBaseURL;
    QString yahooOAuthBaseURL;
    QString yahooContactsBaseURL;

    static QString defaultBrand() { return QStringLiteral("Tellmarsh"); }
    static QString brand();
    static QString resourceFile() { return QStringLiteral(":/urls/urls.ini"); }
    // The INI file in use: TALKVANE_URLS_FILE when readable, else the resource.
    static QString configurationFile();

    // Missing keys (or a missing section) give empty strings; the caller's requests then fail.
    static ServiceUrls load(const QString &brand, const QString &file);
    static ServiceUrls load() { return load(brand(), configurationFile()); }
};
