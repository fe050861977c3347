#include "htmlform.h"

#include <QRegularExpression>

namespace {

// The elements are matched lazily, so a page with several forms yields each one, and "[\s\S]" spans
// line breaks without the backtracking blow-up of "(.|\s)".
const QRegularExpression &formPattern()
{
    static const QRegularExpression re(
        QStringLiteral(R"re((<\s*form\s+([\s\S]*?)>([\s\S]*?)</\s*form\s*>))re"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression &inputPattern()
{
    static const QRegularExpression re(
        QStringLiteral(R"re((<\s*input\s+([^>]*)>))re"), QRegularExpression::CaseInsensitiveOption);
    return re;
}

} // namespace

QList<HtmlForm> HtmlForm::findAll(const QString &page)
{
    QList<HtmlForm> forms;
    auto it = formPattern().globalMatch(page);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        HtmlForm form;
        form.valid = true;
        form.formAction = decodeEntities(attribute(match.captured(2), QStringLiteral("action")));
        auto inputs = inputPattern().globalMatch(match.captured(3));
        while (inputs.hasNext())
            form.fields.append(parseInput(inputs.next().captured(2)));
        forms.append(form);
    }
    return forms;
}

HtmlForm HtmlForm::find(const QString &page, const QString &inputName)
{
    const QList<HtmlForm> forms = findAll(page);
    if (forms.isEmpty())
        return HtmlForm();
    if (!inputName.isEmpty()) {
        for (const HtmlForm &form : forms) {
            if (form.hasInput(inputName))
                return form;
        }
    }
    return forms.first();
}

HtmlForm::Input HtmlForm::parseInput(const QString &attributes)
{
    Input input;
    input.type = attribute(attributes, QStringLiteral("type")).toLower();
    if (input.type.isEmpty())
        input.type = QStringLiteral("text");
    input.name = decodeEntities(attribute(attributes, QStringLiteral("name")));
    input.value = decodeEntities(attribute(attributes, QStringLiteral("value")));
    input.id = decodeEntities(attribute(attributes, QStringLiteral("id")));
    // "checked" as an attribute of its own, not inside some quoted value.
    QString bare = attributes;
    bare.remove(QRegularExpression(QStringLiteral(R"re("[^"]*"|'[^']*')re")));
    static const QRegularExpression checkedPattern(
        QStringLiteral(R"re((^|\s)(checked)(\s|=|/|$))re"), QRegularExpression::CaseInsensitiveOption);
    input.checked = checkedPattern.match(bare).hasMatch();
    return input;
}

QString HtmlForm::attribute(const QString &attributes, const QString &name)
{
    const QRegularExpression re(QStringLiteral(R"re((^|\s)%1\s*=\s*("([^"]*)"|'([^']*)'|([^\s"'>]+)))re")
                                    .arg(QRegularExpression::escape(name)),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = re.match(attributes);
    if (!match.hasMatch())
        return QString();
    for (int group : { 3, 4, 5 }) {
        if (match.capturedStart(group) >= 0)
            return match.captured(group);
    }
    return QString();
}

bool HtmlForm::hasInput(const QString &name) const
{
    for (const Input &input : fields) {
        if (input.name == name)
            return true;
    }
    return false;
}

QString HtmlForm::value(const QString &name) const
{
    for (const Input &input : fields) {
        if (input.name == name)
            return input.value;
    }
    return QString();
}

void HtmlForm::setValue(const QString &name, const QString &value)
{
    bool found = false;
    for (Input &input : fields) {
        if (input.name == name) {
            input.value = value;
            found = true;
        }
    }
    if (!found) {
        Input input;
        input.type = QStringLiteral("text");
        input.name = name;
        input.value = value;
        fields.append(input);
    }
}

QList<QPair<QString, QString>> HtmlForm::submission() const
{
    QList<QPair<QString, QString>> pairs;
    bool submitTaken = false;
    for (const Input &input : fields) {
        if (input.name.isEmpty())
            continue;
        if (input.type == QLatin1String("checkbox") || input.type == QLatin1String("radio")) {
            if (input.checked)
                pairs.append({ input.name, input.value.isNull() ? QStringLiteral("on") : input.value });
            continue;
        }
        if (input.type == QLatin1String("submit") || input.type == QLatin1String("image")) {
            if (!submitTaken)
                pairs.append({ input.name, input.value });
            submitTaken = true;
            continue;
        }
        if (input.type == QLatin1String("reset") || input.type == QLatin1String("button")
            || input.type == QLatin1String("file"))
            continue;
        pairs.append({ input.name, input.value });
    }
    return pairs;
}

QUrl HtmlForm::actionUrl(const QUrl &pageUrl) const
{
    if (formAction.isEmpty())
        return pageUrl;
    const QUrl action = QUrl(formAction.trimmed());
    if (action.isRelative() && formAction.startsWith(QLatin1Char('/'))
        && !formAction.startsWith(QLatin1String("//")))
        return QUrl(schemeAndHost(pageUrl.toString()) + formAction.trimmed());
    return pageUrl.resolved(action);
}

bool HtmlForm::hasLoginError(const QString &page)
{
    return page.contains(QLatin1String("class=\"yregertxt\""));
}

QString HtmlForm::scriptRedirect(const QString &page)
{
    static const QRegularExpression scriptPattern(
        QStringLiteral(R"re((<\s*script(\s+[^>]*)?>([\s\S]*?)</\s*script\s*>))re"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression redirectPattern(
        QStringLiteral(R"re(window\.location\.replace\("([^"]*)"\))re"));
    auto it = scriptPattern.globalMatch(page);
    while (it.hasNext()) {
        const QRegularExpressionMatch redirect = redirectPattern.match(it.next().captured(3));
        if (redirect.hasMatch())
            return decodeEntities(redirect.captured(1).replace(QLatin1String("\\/"), QLatin1String("/")));
    }
    return QString();
}

QString HtmlForm::shortCode(const QString &page)
{
    static const QRegularExpression re(
        QStringLiteral(R"re((<\s*span\s+id="shortCode"\s*>([\s\S]*?)</\s*span\s*>))re"));
    const QRegularExpressionMatch match = re.match(page);
    if (!match.hasMatch())
        return QString();
    QString code = match.captured(2);
    code.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return decodeEntities(code).trimmed();
}

QString HtmlForm::schemeAndHost(const QString &url)
{
    static const QRegularExpression re(QStringLiteral(R"re((http(s?)://[^/]*))re"));
    const QRegularExpressionMatch match = re.match(url);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString HtmlForm::decodeEntities(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QRegularExpression re(
        QStringLiteral(R"re(&(#[0-9]+|#[xX][0-9a-fA-F]+|amp|quot|lt|gt|apos);)re"));
    QString out;
    int last = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        out += text.midRef(last, match.capturedStart() - last);
        const QString entity = match.captured(1);
        if (entity == QLatin1String("amp"))
            out += QLatin1Char('&');
        else if (entity == QLatin1String("quot"))
            out += QLatin1Char('"');
        else if (entity == QLatin1String("lt"))
            out += QLatin1Char('<');
        else if (entity == QLatin1String("gt"))
            out += QLatin1Char('>');
        else if (entity == QLatin1String("apos"))
            out += QLatin1Char('\'');
        else {
            bool ok = false;
            const bool hex = entity.at(1) == QLatin1Char('x') || entity.at(1) == QLatin1Char('X');
            const uint code = entity.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
                out += QString::fromUcs4(&code, 1);
            else
                out += match.captured(0);
        }
        last = match.capturedEnd();
    }
    out += text.midRef(last);
    return out;
}
