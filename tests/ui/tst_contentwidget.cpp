#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include "history/history.h"
#include "history/loginhistory.h"
#include "modalwatcher.h"
#include "rest/account.h"
#include "settings/settings.h"
#include "ui/contentwidget.h"
#include "ui/dialpadpage.h"
#include "ui/internetcheck.h"
#include "ui/menubutton.h"
#include "ui/missedcallsdialog.h"
#include "ui/missedcallwidget.h"
#include "ui/smspage.h"
#include "ui/virtualnumberspage.h"
#include "util/dbstore.h"

class TstContentWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void loginValidation_data();
    void loginValidation();
    void loginStoresTheChoices();
    void rememberMeGovernsAutoLogin();
    void forgetsCredentialsWithoutRememberMe();
    void remembersCredentials();
    void firstLoginViewFillsTheRememberedUser();
    void progressPageShowsTheUser();
    void pinLabel_data();
    void pinLabel();
    void pinFromTheAccount();
    void viewsPickTheirBars_data();
    void viewsPickTheirBars();
    void questionAnswers_data();
    void questionAnswers();
    void questionEndsOnPageSwitch();
    void placeholderPagesCanBeReplaced();
    void smsAndVirtualNumberPagesAreInTheStack();
    void everyPageIsInTheStack_data();
    void everyPageIsInTheStack();
    void autoLoginWaitsForTheConnection();
    void missedCallsList();

private:
    QLineEdit *field(const char *name) const { return widget->findChild<QLineEdit *>(QLatin1String(name)); }
    QComboBox *userCombo() const { return widget->findChild<QComboBox *>(QStringLiteral("loginCombo")); }
    QCheckBox *box(const char *name) const { return widget->findChild<QCheckBox *>(QLatin1String(name)); }
    QStackedWidget *stack(const char *name) const
    {
        return widget->findChild<QStackedWidget *>(QLatin1String(name));
    }

    QTemporaryDir folder;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<History> history;
    ContentWidget *widget = nullptr;
};

void TstContentWidget::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    store = std::make_unique<DbStore>();
    store->setDataFolder(folder.path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    settings = std::make_unique<Settings>(store.get());
    history = std::make_unique<History>();
}

void TstContentWidget::init()
{
    widget = new ContentWidget;
    widget->setSettings(settings.get());
    widget->setHistory(history.get());
    widget->resize(320, 520);
    widget->show();
    widget->showView(ContentWidget::LoginView, false);
}

void TstContentWidget::cleanup()
{
    delete widget;
    widget = nullptr;
}

void TstContentWidget::cleanupTestCase()
{
    history.reset();
    settings.reset();
    store->closeDatabases();
}

void TstContentWidget::loginValidation_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty user") << QString() << QStringLiteral("pw")
                                << QStringLiteral("Please provide a user name!");
    QTest::newRow("blank user") << QStringLiteral("   ") << QStringLiteral("pw")
                                << QStringLiteral("Please provide a user name!");
    QTest::newRow("empty password") << QStringLiteral("demo") << QString()
                                    << QStringLiteral("Please provide a valid password!");
    QTest::newRow("blank password") << QStringLiteral("demo") << QStringLiteral(" \t ")
                                    << QStringLiteral("Please provide a valid password!");
    QTest::newRow("both empty") << QString() << QString() << QStringLiteral("Please provide a user name!");
    QTest::newRow("good") << QStringLiteral("demo") << QStringLiteral("demo") << QString();
    QTest::newRow("trimmed") << QStringLiteral("  demo ") << QStringLiteral(" demo ") << QString();
}

void TstContentWidget::loginValidation()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QSignalSpy clicked(widget, &ContentWidget::loginClicked);
    userCombo()->setEditText(user);
    field("passwordLineEdit")->setText(password);
    ModalWatcher watcher;
    widget->findChild<QPushButton *>(QStringLiteral("loginButton"))->click();
    if (message.isEmpty()) {
        QVERIFY(!watcher.seen());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().at(0).toString(), user.trimmed());
        QCOMPARE(clicked.first().at(1).toString(), password.trimmed());
        QVERIFY(widget->isLoginInProgress());
    } else {
        QVERIFY(watcher.seen());
        QCOMPARE(watcher.title, QStringLiteral("Error"));
        QCOMPARE(watcher.text, message);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(!widget->isLoginInProgress());
    }
}

void TstContentWidget::loginStoresTheChoices()
{
    userCombo()->setEditText(QStringLiteral("demo"));
    field("passwordLineEdit")->setText(QStringLiteral("demo"));
    box("rememberMeCheckBox")->setChecked(true);
    box("signInAutoCheckBox")->setChecked(true);
    QTest::keyClick(field("passwordLineEdit"), Qt::Key_Return);
    QVERIFY(widget->isLoginInProgress());
    QCOMPARE(settings->rememberLogin(), true);
    QCOMPARE(settings->autoLogin(), true);
    settings->setRememberLogin(false);
    settings->setAutoLogin(false);
}

void TstContentWidget::rememberMeGovernsAutoLogin()
{
    QCheckBox *remember = box("rememberMeCheckBox");
    QCheckBox *automatic = box("signInAutoCheckBox");
    remember->setChecked(false);
    QVERIFY(!automatic->isEnabled());
    remember->setChecked(true);
    QVERIFY(automatic->isEnabled());
    automatic->setChecked(true);
    remember->setChecked(false);
    QVERIFY(!automatic->isChecked());
    QVERIFY(!automatic->isEnabled());
}

void TstContentWidget::forgetsCredentialsWithoutRememberMe()
{
    settings->setRememberLogin(false);
    settings->setUserName(QStringLiteral("demo"));
    settings->setPassword(QStringLiteral("secret"));
    history->loginHistory()->add(QStringLiteral("demo"));
    widget->showView(ContentWidget::DialPadView, false);
    widget->showView(ContentWidget::LoginView, false);
    QCOMPARE(settings->userName(), QString());
    QCOMPARE(settings->password(), QString());
    QVERIFY(history->loginHistory()->names().isEmpty());
    QCOMPARE(userCombo()->currentText(), QString());
    QCOMPARE(field("passwordLineEdit")->text(), QString());
}

void TstContentWidget::remembersCredentials()
{
    settings->setRememberLogin(true);
    settings->setUserName(QStringLiteral("alice"));
    settings->setPassword(QStringLiteral("alice-secret"));
    history->loginHistory()->add(QStringLiteral("demo"));
    history->loginHistory()->add(QStringLiteral("alice"));
    widget->showView(ContentWidget::DialPadView, false);
    widget->showView(ContentWidget::LoginView, false);
    QCOMPARE(userCombo()->currentText(), QStringLiteral("alice"));
    QCOMPARE(field("passwordLineEdit")->text(), QStringLiteral("alice-secret"));
    QCOMPARE(userCombo()->count(), 2);
    QVERIFY(box("rememberMeCheckBox")->isChecked());
    settings->setRememberLogin(false);
    history->loginHistory()->clear();
}

// At start-up the login page is already the current page; showing it must still fill the form, or
// automatic login would click with empty fields.
void TstContentWidget::firstLoginViewFillsTheRememberedUser()
{
    settings->setRememberLogin(true);
    settings->setUserName(QStringLiteral("alice"));
    settings->setPassword(QStringLiteral("alice-secret"));
    ContentWidget fresh;
    fresh.setSettings(settings.get());
    fresh.setHistory(history.get());
    QCOMPARE(fresh.currentView(), ContentWidget::LoginView);
    fresh.showView(ContentWidget::LoginView, false);
    QCOMPARE(fresh.findChild<QComboBox *>(QStringLiteral("loginCombo"))->currentText(), QStringLiteral("alice"));
    QCOMPARE(fresh.findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->text(),
        QStringLiteral("alice-secret"));
    settings->setRememberLogin(false);
}

void TstContentWidget::progressPageShowsTheUser()
{
    userCombo()->setEditText(QStringLiteral("demo"));
    widget->setLoginInProgress(true);
    QCOMPARE(
        stack("loginPageStackedWidget")->currentWidget()->objectName(), QStringLiteral("loginProgressPage"));
    QCOMPARE(widget->findChild<QLabel *>(QStringLiteral("loginUserLabel"))->text(), QStringLiteral("demo"));
    QVERIFY(!widget->findChild<QPushButton *>(QStringLiteral("newAccountMenuButton"))->isEnabled());
    QSignalSpy cancelled(widget, &ContentWidget::loginCancelled);
    widget->findChild<QPushButton *>(QStringLiteral("loginCancelButton"))->click();
    QCOMPARE(cancelled.count(), 1);
    widget->setLoginInProgress(false);
    QCOMPARE(stack("loginPageStackedWidget")->currentWidget()->objectName(), QStringLiteral("loginFormPage"));
    QVERIFY(widget->findChild<QPushButton *>(QStringLiteral("newAccountMenuButton"))->isEnabled());
}

void TstContentWidget::pinLabel_data()
{
    QTest::addColumn<QString>("pin");
    QTest::addColumn<double>("credit");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("text");
    QTest::newRow("pin with dash") << QStringLiteral("52871934-01") << 12.5 << QStringLiteral("€")
                                   << QStringLiteral("PIN: 52871934 - €12.50");
    QTest::newRow("pin without dash") << QStringLiteral("70000001") << 3.0 << QStringLiteral("$")
                                      << QStringLiteral("PIN: 70000001 - $3.00");
    QTest::newRow("no credit") << QStringLiteral("70000001") << 0.0 << QStringLiteral("$")
                               << QStringLiteral("PIN: 70000001 - <font color=red><b>BUY</b></font>");
    QTest::newRow("negative credit") << QStringLiteral("1-2") << -1.0 << QStringLiteral("$")
                                     << QStringLiteral("PIN: 1 - <font color=red><b>BUY</b></font>");
    QTest::newRow("markup escaped") << QStringLiteral("<b>") << 1.0 << QStringLiteral("<i>")
                                    << QStringLiteral("PIN: &lt;b&gt; - &lt;i&gt;1.00");
}

void TstContentWidget::pinLabel()
{
    QFETCH(QString, pin);
    QFETCH(double, credit);
    QFETCH(QString, symbol);
    QFETCH(QString, text);
    Balance balance;
    balance.setCredit(credit);
    balance.setCurrencySymbol(symbol);
    QCOMPARE(ContentWidget::pinLabelText(pin, balance), text);
    widget->setPin(pin);
    widget->onBalanceUpdate(balance);
    QCOMPARE(widget->pinText(), text);
    auto *label = widget->findChild<QLabel *>(QStringLiteral("pinLabel"));
    QCOMPARE(label->toolTip().isEmpty(), credit > 0);
}

void TstContentWidget::pinFromTheAccount()
{
    Account account;
    account.setPhones({ QStringLiteral("61123090-01"), QStringLiteral("61123090-02") });
    widget->onAccountReceived(account);
    QCOMPARE(widget->currentPin(), QStringLiteral("61123090-01"));
    QVERIFY(widget->pinText().startsWith(QStringLiteral("PIN: 61123090 - ")));
}

void TstContentWidget::viewsPickTheirBars_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("selected");
    QTest::newRow("dial pad") << 2 << QStringLiteral("mainMenuPage") << QStringLiteral("dialPadMenuButton");
    QTest::newRow("SMS") << 3 << QStringLiteral("mainMenuPage") << QStringLiteral("dialPadMenuButton");
    QTest::newRow("contacts") << 4 << QStringLiteral("mainMenuPage")
                              << QStringLiteral("contactListMenuButton");
    QTest::newRow("details") << 5 << QStringLiteral("mainMenuPage")
                             << QStringLiteral("contactListMenuButton");
    QTest::newRow("numbers") << 6 << QStringLiteral("mainMenuPage")
                             << QStringLiteral("virtualNumberMenuButton");
    QTest::newRow("forwarding") << 7 << QStringLiteral("mainMenuPage")
                                << QStringLiteral("callForwardMenuButton");
    QTest::newRow("history") << 8 << QStringLiteral("mainMenuPage")
                             << QStringLiteral("contactListMenuButton");
    QTest::newRow("voicemail") << 9 << QStringLiteral("mainMenuPage") << QString();
    QTest::newRow("PIN") << 1 << QStringLiteral("emptyMenuPage") << QString();
    QTest::newRow("login") << 0 << QStringLiteral("loginMenuPage") << QString();
}

void TstContentWidget::viewsPickTheirBars()
{
    QFETCH(int, view);
    QFETCH(QString, bar);
    QFETCH(QString, selected);
    QSignalSpy changed(widget, &ContentWidget::currentViewChanged);
    widget->showView(ContentWidget::DialPadView, false);
    widget->showView(ContentWidget::View(view), false);
    QCOMPARE(widget->currentView(), ContentWidget::View(view));
    QCOMPARE(stack("mainStackedWidget")->currentIndex(), view);
    QCOMPARE(stack("bottomToolbarStackedWidget")->currentWidget()->objectName(), bar);
    for (MenuButton *button : widget->findChildren<MenuButton *>()) {
        if (button->objectName().endsWith(QStringLiteral("TopMenuButton")))
            continue;
        QCOMPARE(button->isSelected(), button->objectName() == selected);
    }
    QCOMPARE(changed.last().first().toInt(), view);
}

void TstContentWidget::questionAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("answer");
    QTest::newRow("OK") << QStringLiteral("queryUserOkButton") << true;
    QTest::newRow("Cancel") << QStringLiteral("queryUserCancelButton") << false;
}

void TstContentWidget::questionAnswers()
{
    QFETCH(QString, button);
    QFETCH(bool, answer);
    widget->showView(ContentWidget::DialPadView, false);
    QTimer::singleShot(50, widget, [this, button]() {
        QCOMPARE(widget->currentView(), ContentWidget::QueryUserView);
        QCOMPARE(widget->findChild<QLabel *>(QStringLiteral("queryUserQuestionLabel"))->text(),
            QStringLiteral("Quit?"));
        widget->findChild<QPushButton *>(button)->click();
    });
    QCOMPARE(widget->askQuestion(QStringLiteral("Quit?")), answer);
    QCOMPARE(widget->currentView(), ContentWidget::DialPadView);
    QVERIFY(!widget->isQuestionPending());
}

void TstContentWidget::questionEndsOnPageSwitch()
{
    widget->showView(ContentWidget::DialPadView, false);
    QTimer::singleShot(50, widget, [this]() { widget->showView(ContentWidget::LoginView, false); });
    QVERIFY(!widget->askQuestion(QStringLiteral("Logout?")));
    // The page switched to stays.
    QCOMPARE(widget->currentView(), ContentWidget::LoginView);

    widget->showView(ContentWidget::DialPadView, false);
    QTimer::singleShot(50, widget, [this]() { widget->cancelQuestion(); });
    QVERIFY(!widget->askQuestion(QStringLiteral("Logout?")));
    QCOMPARE(widget->currentView(), ContentWidget::DialPadView);
}

void TstContentWidget::placeholderPagesCanBeReplaced()
{
    auto *sms = new QLabel(QStringLiteral("SMS page"));
    widget->setPage(ContentWidget::SmsView, sms);
    QCOMPARE(widget->page(ContentWidget::SmsView), sms);
    widget->showView(ContentWidget::SmsView, false);
    QCOMPARE(stack("mainStackedWidget")->currentWidget(), sms);
    QCOMPARE(stack("mainStackedWidget")->count(), 11);
}

void TstContentWidget::smsAndVirtualNumberPagesAreInTheStack()
{
    QVERIFY(qobject_cast<VirtualNumbersPage *>(widget->page(ContentWidget::VirtualNumbersView)));
    auto *sms = qobject_cast<SMSPage *>(widget->page(ContentWidget::SmsView));
    QVERIFY(sms);
    // "Send SMS" from the missed-calls dialog opens the SMS page on that number.
    widget->onSendSMSFromMissedCallDialog(QStringLiteral("+15550100"));
    QCOMPARE(widget->currentView(), ContentWidget::SmsView);
    QVERIFY(sms->number().contains(QStringLiteral("15550100")));
}

void TstContentWidget::everyPageIsInTheStack_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("className");
    QTest::newRow("PIN") << 1 << QStringLiteral("PINSelectPage");
    QTest::newRow("SMS") << 3 << QStringLiteral("SMSPage");
    QTest::newRow("contacts") << 4 << QStringLiteral("ContactListPage");
    QTest::newRow("details") << 5 << QStringLiteral("ContactDetailsPage");
    QTest::newRow("numbers") << 6 << QStringLiteral("VirtualNumbersPage");
    QTest::newRow("forwarding") << 7 << QStringLiteral("CallForwardPage");
    QTest::newRow("history") << 8 << QStringLiteral("CallHistoryPage");
    QTest::newRow("voicemail") << 9 << QStringLiteral("VoicemailPage");
}

void TstContentWidget::everyPageIsInTheStack()
{
    QFETCH(int, view);
    QFETCH(QString, className);
    QWidget *page = widget->page(ContentWidget::View(view));
    QVERIFY(page);
    QCOMPARE(QString::fromLatin1(page->metaObject()->className()), className);
    widget->showView(ContentWidget::View(view), false);
    QCOMPARE(stack("mainStackedWidget")->currentWidget(), page);
    QVERIFY(page->isVisible());
    // The tool bar above follows the page.
    QCOMPARE(stack("topToolBarStackedWidget")->currentIndex(), view);
}

void TstContentWidget::autoLoginWaitsForTheConnection()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    widget->internetCheck()->setTarget(QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(port)));
    settings->setRememberLogin(true);
    settings->setAutoLogin(true);
    settings->setUserName(QStringLiteral("demo"));
    settings->setPassword(QStringLiteral("demo"));
    widget->showView(ContentWidget::DialPadView, false);
    widget->showView(ContentWidget::LoginView, false);
    QSignalSpy clicked(widget, &ContentWidget::loginClicked);
    widget->doAutoLogin();
    QVERIFY(widget->isAutoLoginWaiting());
    // Nobody listens: it keeps waiting, polling once a second.
    QTest::qWait(1500);
    QCOMPARE(clicked.count(), 0);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, port));
    QVERIFY(clicked.wait(5000));
    QCOMPARE(clicked.first().at(0).toString(), QStringLiteral("demo"));
    QVERIFY(!widget->isAutoLoginWaiting());
    settings->setRememberLogin(false);
    settings->setAutoLogin(false);
}

void TstContentWidget::missedCallsList()
{
    MissedCallsDialog dialog(nullptr);
    dialog.setMissedCallsNumbers({ QStringLiteral("+15550105") });
    QCOMPARE(dialog.headingText(), QStringLiteral("You have one missed call:"));
    QCOMPARE(dialog.rows().size(), 1);
    QCOMPARE(dialog.rows().first()->countText(), QStringLiteral("1 call from"));
    QVERIFY(!dialog.rows().first()->isNameShown());

    dialog.setMissedCallsNumbers(
        { QStringLiteral("+15550105"), QStringLiteral("+441"), QStringLiteral("+15550105") });
    QCOMPARE(dialog.headingText(), QStringLiteral("You have the following missed calls:"));
    QCOMPARE(dialog.rows().size(), 2);
    QCOMPARE(dialog.rows().at(0)->phoneNumber(), QStringLiteral("+15550105"));
    QCOMPARE(dialog.rows().at(0)->countText(), QStringLiteral("2 calls from"));
    QCOMPARE(dialog.rows().at(1)->countText(), QStringLiteral("1 call from"));

    QSignalSpy call(&dialog, &MissedCallsDialog::callNumber);
    QSignalSpy sms(&dialog, &MissedCallsDialog::sendSMSToNumber);
    dialog.rows().at(1)->findChild<QPushButton *>(QStringLiteral("callButton"))->click();
    dialog.rows().at(0)->findChild<QPushButton *>(QStringLiteral("smsButton"))->click();
    QCOMPARE(call.first().first().toString(), QStringLiteral("+441"));
    QCOMPARE(sms.first().first().toString(), QStringLiteral("+15550105"));
}

QTEST_MAIN(TstContentWidget)
#include "tst_contentwidget.moc"
