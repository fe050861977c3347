#include <QtTest>

#include "importcontacts/htmlform.h"

namespace {

const char loginPage[]
    = "<!DOCTYPE html>\n"
      "<html><head><script type=\"text/javascript\">var x = \"<form>\";</script></head>\n"
      "<body>\n"
      "<FORM action=\"https://search.example/s\" method=\"get\"><input type=\"text\" name=\"p\"><input "
      "type=\"submit\" value=\"Go\"></FORM>\n"
      "<form method=\"post\" action=\"https://login.example/login?.src=oauth&amp;.intl=us\"\n"
      "      name=\"login_form\">\n"
      "  <input type=\"hidden\" name=\".tries\" value=\"1\">\n"
      "  <input type=\"hidden\" name=\".done\" "
      "value=\"https://api.example/auth?oauth_token=t&amp;.scrumb=0\">\n"
      "  <input name=\"login\" id=\"username\" value=\"\" type=\"text\">\n"
      "  <input name=\"passwd\" id=\"passwd\" value=\"\" type=\"password\">\n"
      "  <input type=\"checkbox\" name=\".persistent\" value=\"y\" checked>\n"
      "  <input type=\"checkbox\" name=\"offers\" value=\"y\" data-note=\"unchecked\">\n"
      "  <input type='radio' name='lang' value='en' checked='checked'>\n"
      "  <input type='radio' name='lang' value='fr'>\n"
      "  <input type=\"reset\" name=\"clear\" value=\"Clear\">\n"
      "  <input type=\"submit\" name=\".save\" value=\"Sign In\">\n"
      "  <input type=\"submit\" name=\".cancel\" value=\"Cancel\">\n"
      "  <input type=\"hidden\" value=\"no name\">\n"
      "</form>\n"
      "</body></html>";

} // namespace

class TstHtmlForm : public QObject
{
    Q_OBJECT

private slots:
    void findsEveryForm();
    void findsTheFormWithAnInput();
    void readsInputs();
    void submissionIsWhatABrowserSends();
    void setValueFillsOrAdds();
    void actionUrl_data();
    void actionUrl();
    void pageWithoutForm();
    void loginError_data();
    void loginError();
    void scriptRedirect_data();
    void scriptRedirect();
    void shortCode_data();
    void shortCode();
    void schemeAndHost_data();
    void schemeAndHost();
    void decodeEntities_data();
    void decodeEntities();
};

void TstHtmlForm::findsEveryForm()
{
    const QList<HtmlForm> forms = HtmlForm::findAll(QString::fromUtf8(loginPage));
    QCOMPARE(forms.size(), 2);
    QCOMPARE(forms.at(0).action(), QStringLiteral("https://search.example/s"));
    QCOMPARE(forms.at(1).action(), QStringLiteral("https://login.example/login?.src=oauth&.intl=us"));
}

void TstHtmlForm::findsTheFormWithAnInput()
{
    const QString page = QString::fromUtf8(loginPage);
    QVERIFY(HtmlForm::find(page, QStringLiteral("passwd")).hasInput(QStringLiteral(".done")));
    QVERIFY(HtmlForm::find(page).hasInput(QStringLiteral("p")));
    QVERIFY(HtmlForm::find(page, QStringLiteral("nowhere")).hasInput(QStringLiteral("p")));
}

void TstHtmlForm::readsInputs()
{
    const HtmlForm form = HtmlForm::find(QString::fromUtf8(loginPage), QStringLiteral("passwd"));
    QCOMPARE(form.value(QStringLiteral(".done")),
        QStringLiteral("https://api.example/auth?oauth_token=t&.scrumb=0"));
    QCOMPARE(form.value(QStringLiteral(".tries")), QStringLiteral("1"));
    const auto &inputs = form.inputs();
    QCOMPARE(inputs.size(), 12);
    QCOMPARE(inputs.at(2).id, QStringLiteral("username"));
    QCOMPARE(inputs.at(2).type, QStringLiteral("text"));
    QCOMPARE(inputs.at(3).type, QStringLiteral("password"));
    QVERIFY(inputs.at(4).checked);
    QVERIFY(!inputs.at(5).checked); // "unchecked" inside a value does not count
    QVERIFY(inputs.at(6).checked);
    QVERIFY(!inputs.at(7).checked);
}

void TstHtmlForm::submissionIsWhatABrowserSends()
{
    HtmlForm form = HtmlForm::find(QString::fromUtf8(loginPage), QStringLiteral("passwd"));
    form.setValue(QStringLiteral("login"), QStringLiteral("kari"));
    form.setValue(QStringLiteral("passwd"), QStringLiteral("pw"));
    QStringList sent;
    for (const auto &pair : form.submission())
        sent << pair.first + QLatin1Char('=') + pair.second;
    QCOMPARE(sent,
        (QStringList { ".tries=1", ".done=https://api.example/auth?oauth_token=t&.scrumb=0", "login=kari",
            "passwd=pw", ".persistent=y", "lang=en", ".save=Sign In" }));
}

void TstHtmlForm::setValueFillsOrAdds()
{
    HtmlForm form = HtmlForm::find(QString::fromUtf8(loginPage), QStringLiteral("passwd"));
    form.setValue(QStringLiteral("extra"), QStringLiteral("1"));
    QVERIFY(form.hasInput(QStringLiteral("extra")));
    QCOMPARE(form.value(QStringLiteral("extra")), QStringLiteral("1"));
    QCOMPARE(form.submission().last(), qMakePair(QStringLiteral("extra"), QStringLiteral("1")));
}

void TstHtmlForm::actionUrl_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("url");
    QTest::newRow("absolute") << "https://other.example/x"
                              << "https://login.example/a/b"
                              << "https://other.example/x";
    QTest::newRow("host relative") << "/oauth/v2/request_auth"
                                   << "https://login.example:8444/a/b?c=d"
                                   << "https://login.example:8444/oauth/v2/request_auth";
    QTest::newRow("page relative") << "next?x=1"
                                   << "https://login.example/a/b"
                                   << "https://login.example/a/next?x=1";
    QTest::newRow("none") << ""
                          << "https://login.example/a/b?c=d"
                          << "https://login.example/a/b?c=d";
}

void TstHtmlForm::actionUrl()
{
    QFETCH(QString, action);
    QFETCH(QString, page);
    QFETCH(QString, url);
    const QString html
        = QStringLiteral("<form method=\"post\" action=\"%1\"><input name=\"a\"></form>").arg(action);
    const HtmlForm form = HtmlForm::find(html);
    QVERIFY(form.isValid());
    QCOMPARE(form.actionUrl(QUrl(page)).toString(), url);
}

void TstHtmlForm::pageWithoutForm()
{
    QVERIFY(!HtmlForm::find(QStringLiteral("<html><body>Service unavailable</body></html>")).isValid());
    QVERIFY(
        !HtmlForm::find(QStringLiteral("<form action=\"x\"><input name=\"a\">")).isValid()); // never closed
    QVERIFY(HtmlForm::findAll(QString()).isEmpty());
}

void TstHtmlForm::loginError_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("error");
    QTest::newRow("marker") << "<div class=\"yregertxt\">Invalid ID or password.</div>" << true;
    QTest::newRow("other class") << "<div class=\"yregertxt-hint\">Hint</div>" << false;
    QTest::newRow("none") << "<form></form>" << false;
}

void TstHtmlForm::loginError()
{
    QFETCH(QString, page);
    QFETCH(bool, error);
    QCOMPARE(HtmlForm::hasLoginError(page), error);
}

void TstHtmlForm::scriptRedirect_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("target");
    QTest::newRow("replace")
        << "<script type=\"text/javascript\">window.location.replace(\"https://x.example/a?b=1\");"
           "</script>"
        << "https://x.example/a?b=1";
    QTest::newRow("escaped slashes")
        << "<script>window.location.replace(\"https:\\/\\/x.example\\/a\")</script>"
        << "https://x.example/a";
    QTest::newRow("outside a script")
        << "<p>window.location.replace(\"https://x.example/a\")</p>" << QString();
    QTest::newRow("other script") << "<script>var a = 1;</script>" << QString();
}

void TstHtmlForm::scriptRedirect()
{
    QFETCH(QString, page);
    QFETCH(QString, target);
    QCOMPARE(HtmlForm::scriptRedirect(page), target);
}

void TstHtmlForm::shortCode_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("code");
    QTest::newRow("plain") << "<span id=\"shortCode\">ab12cd</span>"
                           << "ab12cd";
    QTest::newRow("later spans")
        << "<p><span id=\"shortCode\">\n  ab12cd\n</span></p><span class=\"h\">x</span>"
        << "ab12cd";
    QTest::newRow("inner markup") << "<span id=\"shortCode\"><b>ab12cd</b></span>"
                                  << "ab12cd";
    QTest::newRow("missing") << "<span id=\"code\">ab12cd</span>" << QString();
}

void TstHtmlForm::shortCode()
{
    QFETCH(QString, page);
    QFETCH(QString, code);
    QCOMPARE(HtmlForm::shortCode(page), code);
}

void TstHtmlForm::schemeAndHost_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("root");
    QTest::newRow("https with port") << "https://127.0.0.1:8444/oauth/v2/request_auth?x=1"
                                     << "https://127.0.0.1:8444";
    QTest::newRow("http") << "http://api.example/a"
                          << "http://api.example";
    QTest::newRow("host only") << "https://api.example"
                               << "https://api.example";
    QTest::newRow("not a URL") << "/relative/path" << QString();
}

void TstHtmlForm::schemeAndHost()
{
    QFETCH(QString, url);
    QFETCH(QString, root);
    QCOMPARE(HtmlForm::schemeAndHost(url), root);
}

void TstHtmlForm::decodeEntities_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("named") << "a&amp;b&lt;c&gt;&quot;d&quot;&apos;"
                           << "a&b<c>\"d\"'";
    QTest::newRow("numeric") << "&#229;&#x4E2D;" << QString::fromUtf8("å中");
    QTest::newRow("unknown kept") << "&nbsp;&#0;&#xD800;&"
                                  << "&nbsp;&#0;&#xD800;&";
    QTest::newRow("none") << "plain"
                          << "plain";
}

void TstHtmlForm::decodeEntities()
{
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    QCOMPARE(HtmlForm::decodeEntities(text), decoded);
}

QTEST_GUILESS_MAIN(TstHtmlForm)
#include "tst_htmlform.moc"
