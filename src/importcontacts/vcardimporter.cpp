#include "vcardimporter.h"

#include <cctype>

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

#include "util/log.h"

namespace {

// One property line, unfolded: "group.NAME;PARAM=x;BARE:value".
struct ContentLine
{
    QByteArray name; // upper case, without group
    QList<QByteArray> params; // upper case "KEY=VALUE" or bare "VALUE"
    QByteArray value;
};

// The index of the first ':' that is not inside a double-quoted parameter value, or -1.
int valueSeparator(const QByteArray &line)
{
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            quoted = !quoted;
        else if (line.at(i) == ':' && !quoted)
            return i;
    }
    return -1;
}

QList<QByteArray> splitOutsideQuotes(const QByteArray &text, char separator)
{
    QList<QByteArray> parts;
    QByteArray current;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

bool parseLine(const QByteArray &line, ContentLine *out)
{
    const int colon = valueSeparator(line);
    if (colon <= 0)
        return false;
    QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.takeFirst().trimmed().toUpper();
    const int dot = name.lastIndexOf('.');
    if (dot >= 0)
        name = name.mid(dot + 1);
    if (name.isEmpty())
        return false;
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-'))
            return false;
    }
    out->name = name;
    out->params.clear();
    for (const QByteArray &param : head)
        out->params << param.trimmed().toUpper();
    out->value = line.mid(colon + 1);
    return true;
}

QByteArray paramValue(const ContentLine &line, const QByteArray &key)
{
    for (const QByteArray &param : line.params) {
        if (param.startsWith(key + '='))
            return param.mid(key.size() + 1).replace('"', QByteArray());
    }
    return QByteArray();
}

bool hasBareParam(const ContentLine &line, const QByteArray &value)
{
    return line.params.contains(value);
}

bool isQuotedPrintable(const ContentLine &line)
{
    return paramValue(line, "ENCODING") == "QUOTED-PRINTABLE" || hasBareParam(line, "QUOTED-PRINTABLE");
}

bool isBinary(const ContentLine &line)
{
    const QByteArray encoding = paramValue(line, "ENCODING");
    return encoding == "B" || encoding == "BASE64" || hasBareParam(line, "BASE64");
}

QByteArray decodeQuotedPrintable(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '=' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text.at(i + 1)))
            && std::isxdigit(static_cast<unsigned char>(text.at(i + 2)))) {
            out += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
            continue;
        }
        if (c == '=' && i == text.size() - 1)
            continue; // a soft break left at the very end
        out += c;
    }
    return out;
}

// Text of a value: the named character set, else UTF-8, else (bytes that are not UTF-8, as written
// by older Windows programs) Windows-1252.
QString decodeText(const QByteArray &bytes, const QByteArray &charset)
{
    if (!charset.isEmpty()) {
        if (QTextCodec *codec = QTextCodec::codecForName(charset))
            return codec->toUnicode(bytes);
    }
    QTextCodec::ConverterState state;
    const QString text
        = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0)
        return text;
    return QTextCodec::codecForName("Windows-1252")->toUnicode(bytes);
}

// vCard escapes: "\n" and "\N" are line breaks, "\," "\;" "\\" "\:" the characters themselves.
QString unescape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            out += (next == QLatin1Char('n') || next == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : next;
        } else {
            out += c;
        }
    }
    return out;
}

// Splits at separators that are not escaped with a backslash; the parts stay escaped.
QStringList splitUnescaped(const QString &text, QChar separator)
{
    QStringList parts;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            current += c;
            current += text.at(++i);
        } else if (c == separator) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

QString textValue(const ContentLine &line)
{
    QByteArray bytes = line.value;
    if (isQuotedPrintable(line))
        bytes = decodeQuotedPrintable(bytes);
    return decodeText(bytes, paramValue(line, "CHARSET"));
}

QString cleanNumber(QString number)
{
    number = number.trimmed();
    if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        number = number.mid(4);
    const int ext = number.indexOf(QLatin1String(";ext="), 0, Qt::CaseInsensitive);
    if (ext >= 0)
        number = number.left(ext) + QLatin1String(" ext. ") + number.mid(ext + 5);
    return number.trimmed();
}

// The card being read.
struct Card
{
    ImportedContact contact;
    QString formattedName;
    QString organisation;
    bool hasName = false;

    void add(const ContentLine &line)
    {
        if (isBinary(line))
            return;
        const QString text = textValue(line);
        if (line.name == "N") {
            const QStringList parts = splitUnescaped(text, QLatin1Char(';'));
            contact.lastName = unescape(parts.value(0)).trimmed();
            contact.firstName = unescape(parts.value(1)).trimmed();
            contact.middleName = unescape(parts.value(2)).trimmed();
            hasName = !contact.lastName.isEmpty() || !contact.firstName.isEmpty();
        } else if (line.name == "FN") {
            formattedName = unescape(text).trimmed();
        } else if (line.name == "NICKNAME") {
            if (contact.nickname.isEmpty())
                contact.nickname = unescape(splitUnescaped(text, QLatin1Char(',')).value(0)).trimmed();
        } else if (line.name == "ORG") {
            organisation = unescape(splitUnescaped(text, QLatin1Char(';')).value(0)).trimmed();
        } else if (line.name == "EMAIL") {
            QString email = unescape(text).trimmed();
            if (email.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
                email = email.mid(7);
            if (!email.isEmpty() && !contact.emails.contains(email, Qt::CaseInsensitive))
                contact.emails << email;
        } else if (line.name == "TEL") {
            const QString number = cleanNumber(unescape(text));
            if (!number.isEmpty() && !contact.phones.contains(number))
                contact.phones << number;
        }
    }

    // The names from FN (split at its last blank) or the organisation when N has none.
    ImportedContact finish() const
    {
        ImportedContact result = contact;
        if (!hasName && !formattedName.isEmpty()) {
            const int blank = formattedName.lastIndexOf(QLatin1Char(' '));
            if (blank > 0) {
                result.firstName = formattedName.left(blank).trimmed();
                result.lastName = formattedName.mid(blank + 1).trimmed();
            } else {
                result.firstName = formattedName;
            }
        } else if (!hasName && !organisation.isEmpty()) {
            result.firstName = organisation;
        }
        return result;
    }
};

QByteArray toUtf8IfUtf16(const QByteArray &data)
{
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF"))
        return QTextCodec::codecForName("UTF-16")->toUnicode(data).toUtf8();
    return data;
}

QList<QByteArray> physicalLines(const QByteArray &data)
{
    QByteArray text = data;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text.split('\n');
}

bool isLineQuotedPrintable(const QByteArray &logical)
{
    const int colon = valueSeparator(logical);
    if (colon < 0)
        return false;
    return logical.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

// Physical lines joined into logical ones: a line starting with a blank or tab continues the one
// before it; so does the line after a quoted-printable value that ends in a soft break ("=").
QList<QByteArray> logicalLines(const QList<QByteArray> &lines)
{
    QList<QByteArray> logical;
    QByteArray current;
    bool started = false;
    for (const QByteArray &line : lines) {
        if (started && (line.startsWith(' ') || line.startsWith('\t'))) {
            current += line.mid(1);
            continue;
        }
        if (started && current.endsWith('=') && isLineQuotedPrintable(current)) {
            current.chop(1);
            current += line.trimmed();
            continue;
        }
        if (started)
            logical << current;
        current = line;
        started = true;
    }
    if (started)
        logical << current;
    return logical;
}

bool isMarker(const QByteArray &line, const char *marker)
{
    return line.trimmed().toUpper() == marker;
}

} // namespace

VCardImporter::VCardImporter(QObject *parent) : ContactImporter(parent) { }

void VCardImporter::startImportingContacts(const QString &filePath, const QString &)
{
    importFile(filePath);
}

bool VCardImporter::importFile(const QString &filePath)
{
    beginImport();
    LOG_TRACE << "Importing the vCard file" << filePath;
    const QFileInfo info(filePath);
    if (!info.isFile())
        return fail(tr("The file %1 does not exist.").arg(info.fileName()));
    if (info.size() > maxFileSize)
        return fail(tr("The file %1 is too large to be an address book.").arg(info.fileName()));
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(tr("The file %1 cannot be read: %2").arg(info.fileName(), file.errorString()));
    const QByteArray data = file.read(maxFileSize + 1);
    if (data.size() > maxFileSize)
        return fail(tr("The file %1 is too large to be an address book.").arg(info.fileName()));
    return importData(data);
}

bool VCardImporter::importData(const QByteArray &data)
{
    beginImport();
    lastError.clear();
    reportProgress(10);
    QString error;
    const QList<ImportedContact> entries = parse(data, &error);
    if (!error.isEmpty())
        return fail(error);
    finishWith(entries);
    return true;
}

bool VCardImporter::fail(const QString &message)
{
    LOG_TRACE << "vCard import failed:" << message;
    lastError = message;
    if (endImport())
        emit fileError(message);
    return false;
}

QList<ImportedContact> VCardImporter::parse(const QByteArray &raw, QString *error)
{
    auto refuse = [error](const QString &message) {
        if (error)
            *error = message;
        return QList<ImportedContact>();
    };
    if (error)
        error->clear();
    QByteArray data = toUtf8IfUtf16(raw);
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    if (data.trimmed().isEmpty())
        return refuse(tr("The file is empty."));
    if (data.left(4096).contains('\0'))
        return refuse(tr("The file is not a vCard file."));

    const QList<QByteArray> lines = logicalLines(physicalLines(data));
    QList<ImportedContact> entries;
    bool sawCard = false;
    bool inCard = false;
    int skipped = 0;
    Card card;
    auto closeCard = [&] {
        const ImportedContact contact = card.finish();
        if (!contact.isEmpty())
            entries << contact;
        card = Card();
        inCard = false;
    };
    for (const QByteArray &line : lines) {
        if (isMarker(line, "BEGIN:VCARD")) {
            if (inCard)
                closeCard(); // the previous card lacked its END line
            sawCard = inCard = true;
            continue;
        }
        if (!inCard)
            continue;
        if (isMarker(line, "END:VCARD")) {
            closeCard();
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        ContentLine content;
        if (!parseLine(line, &content)) {
            ++skipped;
            continue;
        }
        card.add(content);
    }
    if (inCard)
        closeCard(); // the file ended inside a card
    if (!sawCard)
        return refuse(tr("The file is not a vCard file."));
    if (skipped > 0)
        LOG_TRACE << "Skipped" << skipped << "unreadable vCard lines";
    return entries;
}
