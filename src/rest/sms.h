#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "rest/restobj.h"

// A text message to one or more numbers.
class SMS : public RestObj
{
public:
    SMS();
    explicit SMS(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    QStringList destinationNumbers() const { return m_destinationNumbers; }
    void setDestinationNumbers(const QStringList &destinationNumbers)
    {
        m_destinationNumbers = destinationNumbers;
    }
    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

private:
    QStringList m_destinationNumbers;
    QString m_text;
};

Q_DECLARE_METATYPE(SMS)
