#include "countrydesc.h"

CountryDesc::CountryDesc(const QString &name, const QString &code, const QString &prefix, const QPixmap &flag)
    : m_name(name), m_code(code), m_prefixes { prefix }, m_flag(flag)
{ }

void CountryDesc::addPrefix(const QString &prefix)
{
    m_prefixes.append(prefix);
}

bool CountryDesc::hasPrefix(const QString &prefix) const
{
    return m_prefixes.contains(prefix);
}
