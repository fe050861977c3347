#pragma once

#include "rest/balance.h"
#include "rest/restrequest.h"

// The account's credit as the billing records have it.
class BalanceRequest : public RestRequest
{
    Q_OBJECT
public:
    explicit BalanceRequest(QObject *parent = nullptr);

public slots:
    virtual void getBalance();
    void onFinish(const QByteArray &result, const int httpStatusCode) override;

signals:
    void finished(const Balance &balance);

protected:
    virtual QString baseUrl() const;
};
