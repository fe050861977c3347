#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

// One country of the prefix table: its display name, its calling prefixes in table order, its flag
// and its two- or four-letter code. Owned by the PrefixProvider that loaded it.
class CountryDesc
{
public:
    CountryDesc(const QString &name, const QString &code, const QString &prefix, const QPixmap &flag);

    QString name() const { return m_name; }
    QString code() const { return m_code; }
    QStringList prefixes() const { return m_prefixes; }
    QPixmap flag() const { return m_flag; }

    void addPrefix(const QString &prefix);
    bool hasPrefix(const QString &prefix) const;

private:
    QString m_name;
    QString m_code;
    QStringList m_prefixes;
    QPixmap m_flag;
};
