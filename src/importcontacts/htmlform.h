#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// The pieces of a web-mail service's HTML pages the Yahoo sign-in reads: forms and their inputs, the
// login error marker, script redirects and the verifier code. Only what a browser would submit is
// taken; nothing on the page runs.
class HtmlForm
{
public:
    struct Input
    {
        QString type; // lower case; "text" when absent
        QString name;
        QString value;
        QString id;
        bool checked = false;
    };

    // Every form on the page, in page order.
    static QList<HtmlForm> findAll(const QString &page);
    // The first form that has an input called `inputName`, else the first form, else an invalid one.
    static HtmlForm find(const QString &page, const QString &inputName = QString());

    bool isValid() const { return valid; }
    QString action() const { return formAction; }
    const QList<Input> &inputs() const { return fields; }
    bool hasInput(const QString &name) const;
    QString value(const QString &name) const;
    // Sets the value of the input(s) called `name`, adding a text input when there is none.
    void setValue(const QString &name, const QString &value);

    // What a browser sends when the form's first submit button is pressed: named inputs, check boxes
    // and radio buttons only when checked, the first submit button only.
    QList<QPair<QString, QString>> submission() const;
    // The action made absolute against the page's URL (no action: the page itself).
    QUrl actionUrl(const QUrl &pageUrl) const;

    // Whether the page shows the sign-in error marker.
    static bool hasLoginError(const QString &page);
    // The target of a window.location.replace("...") script, or an empty string.
    static QString scriptRedirect(const QString &page);
    // The text of the span with id "shortCode", trimmed and without markup, or an empty string.
    static QString shortCode(const QString &page);
    // "https://host:port" of a URL text, or an empty string.
    static QString schemeAndHost(const QString &url);
    // &amp;, &quot;, &lt;, &gt;, &apos; and numeric character references replaced.
    static QString decodeEntities(const QString &text);

private:
    static Input parseInput(const QString &attributes);
    static QString attribute(const QString &attributes, const QString &name);

    bool valid = false;
    QString formAction;
    QList<Input> fields;
};
