#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include "rest/restobj.h"

// A group of the address book, known by its name.
class Group : public RestObj
{
public:
    explicit Group(const QString &name = QString());
    // Keeps Group("Friends") from being ambiguous between the name and the variant constructor.
    explicit Group(const char *name) : Group(QString::fromUtf8(name)) { }
    explicit Group(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

private:
    QString m_name;
};

Q_DECLARE_METATYPE(Group)
