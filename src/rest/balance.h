#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include "rest/restobj.h"

// The account's remaining credit.
class Balance : public RestObj
{
public:
    Balance();
    explicit Balance(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    double credit() const { return m_credit; }
    void setCredit(double credit) { m_credit = credit; }
    QString currency() const { return m_currency; }
    void setCurrency(const QString &currency) { m_currency = currency; }
    QString currencySymbol() const { return m_currencySymbol; }
    void setCurrencySymbol(const QString &currencySymbol) { m_currencySymbol = currencySymbol; }

private:
    double m_credit = 0.0;
    QString m_currency;
    QString m_currencySymbol;
};

Q_DECLARE_METATYPE(Balance)
