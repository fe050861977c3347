#include "rest/restfields.h"

#include <QByteArray>

namespace restfields {

QString asIs(const QVariantMap &map, const QString &key)
{
    return map.value(key).toString();
}

QString utf8(const QVariantMap &map, const QString &key)
{
    return decodeUtf8Bytes(asIs(map, key));
}

QStringList stringList(const QVariantMap &map, const QString &key)
{
    return map.value(key).toStringList();
}

QString decodeUtf8Bytes(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes.append(c.unicode() < 0x100 ? char(c.unicode()) : '?');
    return QString::fromUtf8(bytes);
}

} // namespace restfields
