#pragma once

#include <QRegularExpression>
#include <QValidator>

// Limits a number field to dialable characters: an optional leading "+", digits, "-", "*" and "#".
// Anything else (letters, blanks, brackets in pasted text) is dropped rather than refused.
class PhoneNumberValidator : public QValidator
{
    Q_OBJECT

public:
    explicit PhoneNumberValidator(QObject *parent = nullptr);

    void fixup(QString &input) const override;
    State validate(QString &input, int &pos) const override;

    QRegularExpression regularExpression() const { return m_expression; }

    // fixup() as a pure function that also moves a cursor position past the dropped characters.
    static QString strip(const QString &input, int *pos = nullptr);

private:
    QRegularExpression m_expression;
};
