#pragma once

#include "rest/account.h"
#include "rest/restrequest.h"

// The account: the sign-in fetch (which carries the application id) and the profile update.
class AccountRequest : public RestRequest
{
    Q_OBJECT
public:
    explicit AccountRequest(QObject *parent = nullptr);

    // MD5 of the machine identifier's Latin-1 bytes as 32 lower-case hex digits; computed afresh each time.
    static QString currentApplicationId();

public slots:
    virtual void getAccount();
    virtual void updateAccount(const Account &account);
    void onFinish(const QByteArray &result, const int httpStatusCode) override;

signals:
    void finished(const Account &account);

protected:
    // Only the sign-in fetch reports a proxy failure as such: it is what the user can mend.
    bool reportsProxyErrors(int verb) const override;
};
