#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include "rest/restobj.h"

// One phone of a contact. `type` follows `typeName`: "WORK" and "CELL" (exactly) give Work and Cell,
// any other text Home; the text itself is kept and written back unchanged.
class PhoneNumber : public RestObj
{
public:
    enum Type { Home = 0, Work = 1, Cell = 2 };

    PhoneNumber();
    explicit PhoneNumber(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    Type type() const { return m_type; }
    // 1 gives Work/"WORK", 2 Cell/"CELL", anything else Home/"HOME".
    void setType(int type);
    QString typeName() const { return m_typeName; }
    // Sets the text as it is and derives the type from it, as reading a reply does.
    void setTypeName(const QString &typeName);
    static Type typeFromName(const QString &typeName);
    QString number() const { return m_number; }
    void setNumber(const QString &number) { m_number = number; }

private:
    Type m_type = Home;
    QString m_typeName = QStringLiteral("HOME");
    QString m_number;
};

Q_DECLARE_METATYPE(PhoneNumber)
