#include "rest/jsoncodec.h"

#include <cmath>
#include <cstring>

#include <QStringRef>
#include <QVariantList>
#include <QVariantMap>

namespace {

enum class Token {
    None,
    String,
    Comma,
    Number,
    Colon,
    ArrayOpen,
    ArrayClose,
    ObjectOpen,
    ObjectClose,
    True,
    False,
    Null
};

bool isSpace(ushort c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNumberChar(ushort c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

int hexValue(ushort c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Replies repeat the same member names and short values (class tags, phone types) thousands of times.
// Handing out shared copies of recently seen texts saves an allocation for each repeat.
class StringCache
{
public:
    QString get(const ushort *chars, int length)
    {
        if (length > maxLength)
            return QString(reinterpret_cast<const QChar *>(chars), length);
        uint hash = uint(length);
        for (int i = 0; i < length; ++i)
            hash = hash * 31 + chars[i];
        QString &slot = entries[hash % slotCount];
        if (slot.size() != length
            || std::memcmp(slot.constData(), chars, size_t(length) * sizeof(ushort)) != 0)
            slot = QString(reinterpret_cast<const QChar *>(chars), length);
        return slot;
    }

private:
    static constexpr int maxLength = 48;
    static constexpr uint slotCount = 251;
    QString entries[slotCount];
};

// Recursive descent over the UTF-16 code units of the text. Every read is bounds-checked against
// `size`; the text is never modified.
class Parser
{
public:
    Parser(const QString &text, bool &ok)
        : text(text), data(reinterpret_cast<const ushort *>(text.constData())), size(text.size()), ok(ok)
    { }

    QVariant parseValue()
    {
        switch (lookAhead()) {
        case Token::ObjectOpen:
            return parseObject();
        case Token::ArrayOpen:
            return parseArray();
        case Token::String: {
            QString s;
            if (!parseString(s))
                return QVariant();
            return s;
        }
        case Token::Number:
            return parseNumber();
        case Token::True:
            nextToken(index);
            return true;
        case Token::False:
            nextToken(index);
            return false;
        case Token::Null:
            nextToken(index);
            return QVariant();
        default:
            ok = false;
            return QVariant();
        }
    }

private:
    // Counts the open containers on the way down and back up.
    class DepthGuard
    {
    public:
        explicit DepthGuard(int &depth) : depth(depth) { ++depth; }
        ~DepthGuard() { --depth; }
        bool tooDeep() const { return depth > JsonCodec::maxDepth; }

    private:
        int &depth;
    };

    void skipSpace(int &i) const
    {
        while (i < size && isSpace(data[i]))
            ++i;
    }

    bool matches(int i, const char *word, int length) const
    {
        if (size - i < length)
            return false;
        for (int k = 0; k < length; ++k) {
            if (data[i + k] != ushort(word[k]))
                return false;
        }
        return true;
    }

    Token nextToken(int &i) const
    {
        skipSpace(i);
        if (i >= size)
            return Token::None;
        const ushort c = data[i++];
        switch (c) {
        case '"':
            return Token::String;
        case ',':
            return Token::Comma;
        case ':':
            return Token::Colon;
        case '[':
            return Token::ArrayOpen;
        case ']':
            return Token::ArrayClose;
        case '{':
            return Token::ObjectOpen;
        case '}':
            return Token::ObjectClose;
        default:
            break;
        }
        if (c == '-' || (c >= '0' && c <= '9'))
            return Token::Number;
        --i;
        if (matches(i, "true", 4)) {
            i += 4;
            return Token::True;
        }
        if (matches(i, "false", 5)) {
            i += 5;
            return Token::False;
        }
        if (matches(i, "null", 4)) {
            i += 4;
            return Token::Null;
        }
        return Token::None;
    }

    Token lookAhead() const
    {
        int i = index;
        return nextToken(i);
    }

    QVariant parseObject()
    {
        DepthGuard guard(depth);
        if (guard.tooDeep()) {
            ok = false;
            return QVariantMap();
        }
        nextToken(index);
        QVariantMap map;
        for (;;) {
            const Token token = lookAhead();
            if (token == Token::None) {
                ok = false;
                return QVariantMap();
            }
            if (token == Token::Comma) {
                nextToken(index);
                continue;
            }
            if (token == Token::ObjectClose) {
                nextToken(index);
                return map;
            }
            QString name;
            if (!parseString(name))
                return QVariantMap();
            if (nextToken(index) != Token::Colon) {
                ok = false;
                return QVariantMap();
            }
            QVariant value = parseValue();
            if (!ok)
                return QVariantMap();
            map.insert(name, value);
        }
    }

    QVariant parseArray()
    {
        DepthGuard guard(depth);
        if (guard.tooDeep()) {
            ok = false;
            return QVariantList();
        }
        nextToken(index);
        QVariantList list;
        for (;;) {
            const Token token = lookAhead();
            if (token == Token::None) {
                ok = false;
                return QVariantList();
            }
            if (token == Token::Comma) {
                nextToken(index);
                continue;
            }
            if (token == Token::ArrayClose) {
                nextToken(index);
                return list;
            }
            QVariant value = parseValue();
            if (!ok)
                return QVariantList();
            list.append(value);
        }
    }

    // Steps over whatever opens the string (normally the double quote) and reads up to the closing
    // quote. Runs without escapes are copied in one piece.
    bool parseString(QString &out)
    {
        skipSpace(index);
        ++index;
        int runStart = index;
        for (;;) {
            while (index < size && data[index] != '"' && data[index] != '\\')
                ++index;
            if (index >= size)
                return fail();
            if (data[index] == '"') {
                if (out.isEmpty())
                    out = strings.get(data + runStart, index - runStart);
                else
                    appendRun(out, runStart, index);
                ++index;
                if (out.isNull())
                    out = QStringLiteral(""); // "" is empty text, not a missing one
                return true;
            }
            appendRun(out, runStart, index);
            ++index; // the backslash
            if (index >= size)
                return fail();
            const ushort escaped = data[index++];
            switch (escaped) {
            case '"':
            case '\\':
            case '/':
                out.append(QChar(escaped));
                break;
            case 'b':
                out.append(QChar(0x08));
                break;
            case 'f':
                out.append(QChar(0x0c));
                break;
            case 'n':
                out.append(QChar('\n'));
                break;
            case 'r':
                out.append(QChar('\r'));
                break;
            case 't':
                out.append(QChar('\t'));
                break;
            case 'u':
                if (size - index < 4)
                    return fail();
                out.append(QChar(ushort(hexUnit(index))));
                index += 4;
                break;
            default:
                // Unknown escapes vanish together with their backslash.
                break;
            }
            runStart = index;
        }
    }

    void appendRun(QString &out, int from, int to) const
    {
        if (to <= from)
            return;
        if (out.isEmpty())
            out = QString(text.constData() + from, to - from);
        else
            out.append(text.constData() + from, to - from);
    }

    // Four characters as a hexadecimal number; anything QString::toInt rejects counts as 0.
    int hexUnit(int at) const
    {
        int value = 0;
        for (int k = 0; k < 4; ++k) {
            const int digit = hexValue(data[at + k]);
            if (digit < 0) {
                bool converted = false;
                const int slow = QStringRef(&text, at, 4).toInt(&converted, 16);
                return converted ? slow : 0;
            }
            value = value * 16 + digit;
        }
        return value;
    }

    // The longest run of number characters, converted by its shape: with a '.' to double, with a
    // leading '-' to qlonglong, otherwise to qulonglong. A run that does not convert gives 0.
    QVariant parseNumber()
    {
        skipSpace(index);
        const int start = index;
        bool hasPoint = false;
        bool digitsOnly = true;
        while (index < size && isNumberChar(data[index])) {
            const ushort c = data[index];
            if (c == '.')
                hasPoint = true;
            if (c < '0' || c > '9')
                digitsOnly = digitsOnly && index == start && c == '-';
            ++index;
        }
        const int length = index - start;
        if (length == 0)
            return qulonglong(0);
        const QStringRef run(&text, start, length);
        bool converted = false;
        if (hasPoint) {
            const double value = run.toDouble(&converted);
            return converted ? value : 0.0;
        }
        if (data[start] == '-') {
            if (digitsOnly && length >= 2 && length <= 19)
                return -qlonglong(digitValue(start + 1, index));
            const qlonglong value = run.toLongLong(&converted, 10);
            return converted ? value : qlonglong(0);
        }
        if (digitsOnly && length >= 1 && length <= 19)
            return qulonglong(digitValue(start, index));
        const qulonglong value = run.toULongLong(&converted, 10);
        return converted ? value : qulonglong(0);
    }

    // Up to 19 decimal digits always fit.
    qulonglong digitValue(int from, int to) const
    {
        qulonglong value = 0;
        for (int i = from; i < to; ++i)
            value = value * 10 + (data[i] - '0');
        return value;
    }

    bool fail()
    {
        ok = false;
        return false;
    }

    StringCache strings;
    const QString &text;
    const ushort *data;
    const int size;
    bool &ok;
    int index = 0;
    int depth = 0;
};

void appendHexEscape(QByteArray &out, ushort unit)
{
    static const char digits[] = "0123456789abcdef";
    const char escape[] = { '\\', 'u', digits[(unit >> 12) & 0xf], digits[(unit >> 8) & 0xf],
        digits[(unit >> 4) & 0xf], digits[unit & 0xf] };
    out.append(escape, sizeof escape);
}

void appendUtf8(QByteArray &out, uint code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xc0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3f)));
    } else if (code < 0x10000) {
        out.append(char(0xe0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3f)));
        out.append(char(0x80 | (code & 0x3f)));
    } else {
        out.append(char(0xf0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3f)));
        out.append(char(0x80 | ((code >> 6) & 0x3f)));
        out.append(char(0x80 | (code & 0x3f)));
    }
}

// Quotes and escapes the text. Only the backslash, the double quote and \b \f \n \r \t are escaped;
// everything else goes out as UTF-8, except a lone surrogate, which UTF-8 cannot carry and which is
// therefore written as \uXXXX so that it survives.
void appendString(QByteArray &out, const QString &text)
{
    const ushort *data = reinterpret_cast<const ushort *>(text.constData());
    const int size = text.size();
    out.reserve(out.size() + size + 2);
    out.append('"');
    for (int i = 0; i < size; ++i) {
        const ushort c = data[i];
        switch (c) {
        case '\\':
            out.append("\\\\", 2);
            continue;
        case '"':
            out.append("\\\"", 2);
            continue;
        case 0x08:
            out.append("\\b", 2);
            continue;
        case 0x0c:
            out.append("\\f", 2);
            continue;
        case '\n':
            out.append("\\n", 2);
            continue;
        case '\r':
            out.append("\\r", 2);
            continue;
        case '\t':
            out.append("\\t", 2);
            continue;
        default:
            break;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(data[i + 1])) {
            appendUtf8(out, QChar::surrogateToUcs4(c, data[i + 1]));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            appendHexEscape(out, c);
        } else {
            appendUtf8(out, c);
        }
    }
    out.append('"');
}

// 20 significant digits. The text always carries a '.', so that the parser reads it back as a double:
// "1" becomes "1.0" and "1e+20" becomes "1.0e+20". Infinity and NaN have no JSON form.
bool appendDouble(QByteArray &out, double value)
{
    if (!std::isfinite(value))
        return false;
    QByteArray digits = QByteArray::number(value, 'g', 20);
    if (!digits.contains('.')) {
        const int exponent = digits.indexOf('e');
        if (exponent < 0)
            digits.append(".0", 2);
        else
            digits.insert(exponent, ".0", 2);
    }
    out.append(digits);
    return true;
}

bool write(QByteArray &out, const QVariant &value);

bool writeList(QByteArray &out, const QVariantList &list)
{
    out.append("[ ", 2);
    bool first = true;
    for (const QVariant &element : list) {
        if (!first)
            out.append(", ", 2);
        first = false;
        if (!write(out, element))
            return false;
    }
    out.append(" ]", 2);
    return true;
}

bool writeStringList(QByteArray &out, const QStringList &list)
{
    out.append("[ ", 2);
    bool first = true;
    for (const QString &element : list) {
        if (!first)
            out.append(", ", 2);
        first = false;
        appendString(out, element);
    }
    out.append(" ]", 2);
    return true;
}

bool writeMap(QByteArray &out, const QVariantMap &map)
{
    out.append("{ ", 2);
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it != map.constBegin())
            out.append(", ", 2);
        appendString(out, it.key());
        out.append(" : ", 3);
        if (!write(out, it.value()))
            return false;
    }
    out.append(" }", 2);
    return true;
}

bool write(QByteArray &out, const QVariant &value)
{
    if (!value.isValid()) {
        out.append("null", 4);
        return true;
    }
    switch (value.userType()) {
    case QMetaType::QVariantList:
        return writeList(out, value.toList());
    case QMetaType::QStringList:
        return writeStringList(out, value.toStringList());
    case QMetaType::QVariantMap:
        return writeMap(out, value.toMap());
    case QMetaType::QString:
    case QMetaType::QByteArray:
        appendString(out, value.toString());
        return true;
    case QMetaType::Double:
    case QMetaType::Float:
        // A float is written like a double rather than rounded to an integer.
        return appendDouble(out, value.toDouble());
    case QMetaType::Bool:
        if (value.toBool())
            out.append("true", 4);
        else
            out.append("false", 5);
        return true;
    case QMetaType::ULongLong:
        out.append(QByteArray::number(value.toULongLong()));
        return true;
    default:
        break;
    }
    bool converted = false;
    if (value.canConvert<qlonglong>()) {
        const qlonglong number = value.toLongLong(&converted);
        if (converted) {
            out.append(QByteArray::number(number));
            return true;
        }
    }
    if (value.canConvert<long>()) {
        QVariant asLong = value;
        if (asLong.convert(QMetaType::Long)) {
            out.append(QByteArray::number(qlonglong(asLong.value<long>())));
            return true;
        }
    }
    if (value.canConvert<QString>()) {
        appendString(out, value.toString());
        return true;
    }
    return false;
}

} // namespace

QVariant JsonCodec::parse(const QString &text, bool &ok)
{
    ok = true;
    if (text.isNull())
        return QVariant();
    Parser parser(text, ok);
    return parser.parseValue();
}

QByteArray JsonCodec::serialize(const QVariant &value, bool &ok)
{
    ok = true;
    QByteArray out;
    if (!write(out, value)) {
        ok = false;
        return QByteArray();
    }
    return out;
}

QByteArray JsonCodec::serialize(const QVariant &value)
{
    bool ok = true;
    return serialize(value, ok);
}
