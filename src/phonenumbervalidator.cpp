#include "phonenumbervalidator.h"

namespace {

bool isAllowed(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') || c == QLatin1Char('-')
        || c == QLatin1Char('#') || c == QLatin1Char('*');
}

} // namespace

PhoneNumberValidator::PhoneNumberValidator(QObject *parent)
    : QValidator(parent)
    , m_expression(QRegularExpression::anchoredPattern(QStringLiteral("\\+?[0-9\\-\\*\\#]*")))
{ }

QString PhoneNumberValidator::strip(const QString &input, int *pos)
{
    QString out;
    out.reserve(input.size());
    int cursor = pos ? qBound(0, *pos, input.size()) : 0;
    const int oldCursor = cursor;
    for (int i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (isAllowed(c))
            out.append(c);
        else if (i < oldCursor)
            --cursor;
    }
    if (pos)
        *pos = cursor;
    return out;
}

void PhoneNumberValidator::fixup(QString &input) const
{
    input = strip(input);
}

QValidator::State PhoneNumberValidator::validate(QString &input, int &pos) const
{
    // The cursor follows the text it stood behind, so it never points past the shortened input.
    input = strip(input, &pos);
    return m_expression.match(input).hasMatch() ? Acceptable : Invalid;
}
