#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// JSON text <-> QVariant. The parser is deliberately lenient (commas between members are optional,
// text after the first value is ignored) because the web service and the web-mail importers rely on
// it; the serialiser writes the spaced form the web service has always received.
//
// parse() produces QVariantMap, QVariantList, QString, double (numbers with a '.'), qlonglong
// (numbers starting with '-'), qulonglong (other numbers), bool and the invalid QVariant for null.
class JsonCodec
{
public:
    // Deepest nesting of arrays and objects the parser accepts; deeper text fails instead of
    // exhausting the stack.
    static constexpr int maxDepth = 512;

    // `ok` is set true first and false at the first failure. A null QString parses as an invalid
    // variant with ok true; an empty one fails.
    static QVariant parse(const QString &text, bool &ok);

    // UTF-8 JSON text, or a null QByteArray (and ok false) when some value cannot be written.
    static QByteArray serialize(const QVariant &value, bool &ok);
    static QByteArray serialize(const QVariant &value);

    JsonCodec() = delete;
};
