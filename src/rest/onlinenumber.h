#pragma once

#include <QMetaType>
#include <QDate>
#include <QString>
#include <QVariant>

#include "rest/restobj.h"

// A virtual number rented by the user. On the wire the expiration date is a count of milliseconds since
// the epoch; the record keeps the local date of that moment.
class OnlineNumber : public RestObj
{
public:
    OnlineNumber();
    explicit OnlineNumber(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    QString number() const { return m_number; }
    void setNumber(const QString &number) { m_number = number; }
    QDate expirationDate() const { return m_expirationDate; }
    void setExpirationDate(const QDate &expirationDate) { m_expirationDate = expirationDate; }
    QString status() const { return m_status; }
    void setStatus(const QString &status) { m_status = status; }

    // Local date of the moment `msecs` after the epoch.
    static QDate msecsToDate(qint64 msecs);
    // Milliseconds since the epoch of local midnight at the start of `date`; null for a null date.
    static QVariant dateToMsecs(const QDate &date);

private:
    QString m_number;
    QDate m_expirationDate;
    QString m_status;
};

Q_DECLARE_METATYPE(OnlineNumber)
