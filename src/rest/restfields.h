#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Reading record members out of a parsed reply. Replies reach the parser one character per byte, so
// text the service sent as UTF-8 arrives as its bytes; members known to carry UTF-8 are decoded back,
// the others are taken as they are. A missing member reads as empty text, an empty list, false or 0.
namespace restfields {

// The member as text; a number gives its decimal text.
QString asIs(const QVariantMap &map, const QString &key);
// The member's characters taken as bytes and decoded as UTF-8.
QString utf8(const QVariantMap &map, const QString &key);
QStringList stringList(const QVariantMap &map, const QString &key);

// Characters below U+0100 become the byte of that code, any other character '?'; the bytes are then
// decoded as UTF-8.
QString decodeUtf8Bytes(const QString &text);

} // namespace restfields
