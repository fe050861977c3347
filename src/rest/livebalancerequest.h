#pragma once

#include "rest/balancerequest.h"

// The credit as it stands right now, calls in progress included; read like the balance.
class LiveBalanceRequest : public BalanceRequest
{
    Q_OBJECT
public:
    explicit LiveBalanceRequest(QObject *parent = nullptr);

public slots:
    virtual void getLiveBalance();

protected:
    QString baseUrl() const override;
};
