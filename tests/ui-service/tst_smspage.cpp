#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "messageboxwatcher.h"
#include "numbers/numberhistory.h"
#include "phone/phone.h"
#include "prefixprovider.h"
#include "rest/balance.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "ui/numberedit.h"
#include "ui/recentnumberspopup.h"
#include "ui/smspage.h"
#include "util/dbstore.h"
#include "webserviceemulator.h"

class TestSMSPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void counter_data();
    void counter();
    void counterLabelFollowsTyping();
    void normalizedNumber_data();
    void normalizedNumber();
    void sendingAnimation();
    void stateLabelFollowsNumber();
    void clearNumberResetsPage();
    void placeholderOnlyWithoutTextAndFocus();
    void emptyTextIsRefused();
    void invalidNumberIsRefused_data();
    void invalidNumberIsRefused();
    void tooLittleCreditIsRefused();
    void recentNumbersComeFromHistory();

    void sendsThroughTheService();
    void tooLongTextIsReported();
    void dailyLimitIsReported();
    void otherErrorShowsNoBox();
    void missingAnswerEndsSending();

private:
    QJsonArray sentMessages();
    void signIn();
    void type(const QString &number, const QString &text);

    QTemporaryDir dir;
    WebServiceEmulator emu;
    ServiceUrls urls;
    PrefixProvider prefixes;
    std::unique_ptr<RestManager> rest;
    std::unique_ptr<Phone> phone;
    std::unique_ptr<SMSPage> page;
    std::unique_ptr<MessageBoxWatcher> boxes;
};

void TestSMSPage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<SMS>();
    qRegisterMetaType<Balance>();
    QVERIFY(dir.isValid());
    QVERIFY2(emu.start(), qPrintable(emu.errorString()));
    QVERIFY(emu.exportEnvironment(dir.filePath(QStringLiteral("urls.ini"))));
    urls = ServiceUrls::load();
    QCOMPARE(urls.accountSMSServiceBaseURL, emu.serviceUrl(QStringLiteral("sms")));
}

void TestSMSPage::init()
{
    QVERIFY2(emu.reset(), qPrintable(emu.errorString()));
    rest = std::make_unique<RestManager>();
    rest->setServiceUrls(urls);
    phone = std::make_unique<Phone>();
    phone->setRestManager(rest.get());
    page = std::make_unique<SMSPage>();
    page->setPrefixProvider(&prefixes);
    page->setPhone(phone.get());
    page->resize(300, 420);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    boxes = std::make_unique<MessageBoxWatcher>();
}

void TestSMSPage::cleanup()
{
    boxes.reset();
    page.reset();
    phone.reset();
    rest.reset();
}

QJsonArray TestSMSPage::sentMessages()
{
    return emu.state()
        .object()
        .value(QStringLiteral("accounts"))
        .toObject()
        .value(QStringLiteral("demo"))
        .toObject()
        .value(QStringLiteral("sms"))
        .toArray();
}

void TestSMSPage::signIn()
{
    rest->onUsernameChanged(QStringLiteral("demo"));
    rest->onPasswordChanged(QStringLiteral("demo"));
    QSignalSpy balance(phone.get(), &Phone::balanceUpdate);
    phone->requestBalanceUpdate();
    QVERIFY(balance.wait());
    QCOMPARE(phone->balance().credit(), 12.5);
}

void TestSMSPage::type(const QString &number, const QString &text)
{
    page->setNumber(number);
    page->setText(text);
}

void TestSMSPage::counter_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("remaining");
    QTest::addColumn<int>("messages");
    QTest::newRow("empty") << 0 << 160 << 1;
    QTest::newRow("five") << 5 << 155 << 1;
    QTest::newRow("159") << 159 << 1 << 1;
    QTest::newRow("one full part") << 160 << 0 << 1;
    QTest::newRow("161") << 161 << 159 << 2;
    QTest::newRow("two full parts") << 320 << 0 << 2;
    QTest::newRow("321") << 321 << 159 << 3;
    QTest::newRow("480") << 480 << 0 << 3;
}

void TestSMSPage::counter()
{
    QFETCH(int, length);
    QFETCH(int, remaining);
    QFETCH(int, messages);
    const SMSPage::Counter counter = SMSPage::countFor(length);
    QCOMPARE(counter.remaining, remaining);
    QCOMPARE(counter.messages, messages);
}

void TestSMSPage::counterLabelFollowsTyping()
{
    QCOMPARE(page->counterText(), QStringLiteral("SMS Counter 160(1)"));
    auto *edit = page->findChild<QTextEdit *>(QStringLiteral("smsTextEdit"));
    QVERIFY(edit);
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("Hello"));
    QCOMPARE(page->counterText(), QStringLiteral("SMS Counter 155(1)"));
    page->setText(QString(320, QLatin1Char('x')));
    QCOMPARE(page->counterText(), QStringLiteral("SMS Counter 0(2)"));
    page->setText(QString(321, QLatin1Char('x')));
    QCOMPARE(page->counterText(), QStringLiteral("SMS Counter 159(3)"));
}

void TestSMSPage::normalizedNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("plain") << "4915112345" << "+4915112345";
    QTest::newRow("with plus") << "+4915112345" << "+4915112345";
    QTest::newRow("dashes and parentheses") << "(49)151-123-45" << "+4915112345";
    QTest::newRow("blanks stay") << "+49 (151) 123-45" << "+49 151 12345";
}

void TestSMSPage::normalizedNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, normalized);
    QCOMPARE(SMSPage::normalizedNumber(number), normalized);
}

void TestSMSPage::sendingAnimation()
{
    QString text = QStringLiteral("Sending SMS    ");
    const QStringList expected = { QStringLiteral("Sending SMS .  "), QStringLiteral("Sending SMS .. "),
        QStringLiteral("Sending SMS ..."), QStringLiteral("Sending SMS .  "), QStringLiteral("Sending SMS .. ") };
    for (const QString &next : expected) {
        text = SMSPage::nextSendingFrame(text);
        QCOMPARE(text, next);
        QCOMPARE(text.size(), 15);
    }
    QCOMPARE(SMSPage::nextSendingFrame(QStringLiteral("SMS Sent")), QStringLiteral("SMS Sent"));
}

void TestSMSPage::stateLabelFollowsNumber()
{
    QCOMPARE(page->stateText(), QStringLiteral("Enter SMS Number"));
    page->setNumber(QStringLiteral("+15550100"));
    QCOMPARE(page->stateText(), QStringLiteral("Enter SMS Text"));
    page->setNumber(QString());
    QCOMPARE(page->stateText(), QStringLiteral("Enter SMS Number"));
}

void TestSMSPage::clearNumberResetsPage()
{
    type(QStringLiteral("+15550100"), QStringLiteral("Hi there"));
    page->clearNumber();
    QCOMPARE(page->number(), QString());
    QCOMPARE(page->text(), QString());
    QCOMPARE(page->stateText(), QStringLiteral("Enter SMS Number"));
    QCOMPARE(page->counterText(), QStringLiteral("SMS Counter 160(1)"));
    QVERIFY(page->isPlaceholderShown());
}

void TestSMSPage::placeholderOnlyWithoutTextAndFocus()
{
    auto *edit = page->findChild<QTextEdit *>(QStringLiteral("smsTextEdit"));
    auto *send = page->findChild<QPushButton *>(QStringLiteral("sendSMSButton"));
    QVERIFY(page->isPlaceholderShown());
    auto *label = page->findChild<QLabel *>(QStringLiteral("placeHolderLabel"));
    QCOMPARE(label->parentWidget(), static_cast<QWidget *>(edit));
    QCOMPARE(label->text(), QStringLiteral("TYPE YOUR MESSAGE HERE"));

    page->activateWindow();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!page->isPlaceholderShown());
    send->setFocus();
    QTRY_VERIFY(!edit->hasFocus());
    QVERIFY(page->isPlaceholderShown());

    page->setText(QStringLiteral("text"));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    send->setFocus();
    QTRY_VERIFY(!edit->hasFocus());
    QVERIFY(!page->isPlaceholderShown());
}

void TestSMSPage::emptyTextIsRefused()
{
    signIn();
    type(QStringLiteral("+15550100"), QString());
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("sendSMSButton")), Qt::LeftButton);
    QTRY_COMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes.first().title, QStringLiteral("Error"));
    QCOMPARE(boxes->boxes.first().text, QStringLiteral("Please insert SMS text."));
    QCOMPARE(boxes->boxes.first().icon, QMessageBox::Critical);
    QVERIFY(!page->isSending());
    QCOMPARE(sentMessages().size(), 0);
}

void TestSMSPage::invalidNumberIsRefused_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QString() << "Please provide a phone number.";
    QTest::newRow("four characters") << "+123" << "Invalid number!";
}

void TestSMSPage::invalidNumberIsRefused()
{
    QFETCH(QString, number);
    QFETCH(QString, message);
    type(number, QStringLiteral("Hello"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("sendSMSButton")), Qt::LeftButton);
    QTRY_COMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes.first().text, message);
    QVERIFY(!page->isSending());
}

void TestSMSPage::tooLittleCreditIsRefused()
{
    Balance balance;
    balance.setCredit(0.00005);
    phone->onBalanceRequestFinished(balance);
    type(QStringLiteral("+15550100"), QStringLiteral("Hello"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("sendSMSButton")), Qt::LeftButton);
    QTRY_COMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes.first().title, QStringLiteral("Error"));
    QCOMPARE(boxes->boxes.first().text, QStringLiteral("You don't have any more credit!<br/>Buy some credit!"));
    QVERIFY(!page->isSending());
    QCOMPARE(sentMessages().size(), 0);
}

void TestSMSPage::recentNumbersComeFromHistory()
{
    // The number entry of this page used to get no number history at all, so that the recent-numbers
    // button read through a null pointer.
    QTemporaryDir data;
    DbStore store;
    store.setDataFolder(data.path());
    store.loadDatabases();
    QVERIFY(store.isOpen());
    QDateTime now(QDate(2024, 5, 1), QTime(10, 0));
    NumberHistory history;
    history.setClock([&now] { return now; });
    history.addNumber(QStringLiteral("+15550100"), QString());
    now = now.addSecs(5);
    history.addNumber(QStringLiteral("+15550102"), QString());
    page->setNumberHistory(&history);

    auto *recent = page->numberEdit()->findChild<QPushButton *>(QStringLiteral("recentClearButton"));
    QVERIFY(recent);
    QVERIFY(recent->isEnabled());
    QTest::mouseClick(recent, Qt::LeftButton);
    RecentNumbersPopup *popup = page->numberEdit()->recentNumbersPopup();
    QTRY_VERIFY(popup->isVisible());
    QListWidget *list = popup->listWidget();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->data(Qt::DisplayRole).toString(), QStringLiteral("+15550102"));
    QCOMPARE(list->item(1)->data(Qt::DisplayRole).toString(), QStringLiteral("+15550100"));
    popup->hide();
    page->setNumberHistory(nullptr);
    while (store.isOpen())
        store.closeDatabases();
}

void TestSMSPage::sendsThroughTheService()
{
    signIn();
    QSignalSpy sent(phone.get(), &Phone::successSendingSMS);
    type(QStringLiteral("(555) 010-0"), QStringLiteral("Hello from the SMS page"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("sendSMSButton")), Qt::LeftButton);
    QVERIFY(page->isSending());
    QVERIFY(page->stateText().startsWith(QLatin1String("Sending SMS")));
    QVERIFY(sent.wait());
    QCOMPARE(page->stateText(), QStringLiteral("SMS Sent"));
    QCOMPARE(page->text(), QString());
    QVERIFY(page->isPlaceholderShown());

    const QJsonArray stored = sentMessages();
    QCOMPARE(stored.size(), 1);
    const QJsonObject message = stored.first().toObject();
    QCOMPARE(message.value(QStringLiteral("text")).toString(), QStringLiteral("Hello from the SMS page"));
    QCOMPARE(message.value(QStringLiteral("destinationNumbers")).toArray(), QJsonArray({ QStringLiteral("+5550100") }));

    QTRY_COMPARE_WITH_TIMEOUT(page->stateText(), QStringLiteral("Enter SMS Text"), 10000);
    QVERIFY(!page->isSending());
    QVERIFY(boxes->boxes.isEmpty());
}

void TestSMSPage::tooLongTextIsReported()
{
    QVERIFY(emu.setLimits({ { QStringLiteral("smsMaxLength"), 10 } }));
    signIn();
    QSignalSpy failed(phone.get(), &Phone::errorSendingSMS);
    type(QStringLiteral("+15550100"), QStringLiteral("eleven char"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("sendSMSButton")), Qt::LeftButton);
    QVERIFY(failed.wait());
    QCOMPARE(failed.first().first().toString(), QStringLiteral("Max length exceeded"));
    QTRY_COMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes.first().title, QStringLiteral("Error: Text too long"));
    QCOMPARE(boxes->boxes.first().text, QStringLiteral("Your SMS message is too long. Keep it shorter."));
    QCOMPARE(boxes->boxes.first().icon, QMessageBox::Warning);
    QCOMPARE(page->stateText(), QStringLiteral("Error: SMS not sent."));
    // The text stays for the user to shorten.
    QCOMPARE(page->text(), QStringLiteral("eleven char"));
    QTRY_COMPARE_WITH_TIMEOUT(page->stateText(), QStringLiteral("Enter SMS Text"), 10000);
    QCOMPARE(sentMessages().size(), 0);
}

void TestSMSPage::dailyLimitIsReported()
{
    QVERIFY(emu.setLimits({ { QStringLiteral("smsPerDay"), 1 } }));
    signIn();
    QSignalSpy sent(phone.get(), &Phone::successSendingSMS);
    QSignalSpy failed(phone.get(), &Phone::errorSendingSMS);
    auto *send = page->findChild<QPushButton *>(QStringLiteral("sendSMSButton"));

    type(QStringLiteral("+15550100"), QStringLiteral("first"));
    QTest::mouseClick(send, Qt::LeftButton);
    QVERIFY(sent.wait());
    QTRY_VERIFY_WITH_TIMEOUT(send->isEnabled(), 10000);

    page->setText(QStringLiteral("second"));
    QTest::mouseClick(send, Qt::LeftButton);
    QVERIFY(failed.wait());
    QCOMPARE(failed.first().first().toString(), QStringLiteral("Maximum number of messages per day reached"));
    QTRY_COMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes.first().title, QStringLiteral("Error: Maximum messages reached"));
    QCOMPARE(boxes->boxes.first().text,
        QStringLiteral("You cannot send more SMS messages today. You've reached your maximum."));
    QCOMPARE(page->stateText(), QStringLiteral("Error: SMS not sent."));
    QCOMPARE(sentMessages().size(), 1);
}

void TestSMSPage::otherErrorShowsNoBox()
{
    // The page goes by the balance last fetched; the service has meanwhile run out.
    signIn();
    QVERIFY(emu.patchAccount(QStringLiteral("demo"), { { QStringLiteral("credit"), 0.0 } }));
    QSignalSpy failed(phone.get(), &Phone::errorSendingSMS);
    type(QStringLiteral("+15550100"), QStringLiteral("no credit on the server"));
    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("sendSMSButton")), Qt::LeftButton);
    QVERIFY(failed.wait());
    QCOMPARE(failed.first().first().toString(), QStringLiteral("Insufficient credit."));
    QCOMPARE(page->stateText(), QStringLiteral("Error: SMS not sent."));
    QTRY_COMPARE_WITH_TIMEOUT(page->stateText(), QStringLiteral("Enter SMS Text"), 10000);
    QVERIFY(boxes->boxes.isEmpty());
}

void TestSMSPage::missingAnswerEndsSending()
{
    signIn();
    QVERIFY(emu.injectFault(QStringLiteral("delay"), 1, QStringLiteral("sms"), 15));
    type(QStringLiteral("+15550100"), QStringLiteral("slow"));
    auto *send = page->findChild<QPushButton *>(QStringLiteral("sendSMSButton"));
    QTest::mouseClick(send, Qt::LeftButton);
    QVERIFY(page->isSending());
    // A second press while the first message is on its way sends nothing more.
    QVERIFY(!send->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(page->stateText() != QLatin1String("Sending SMS    "), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(page->stateText(), QStringLiteral("Enter SMS Text"), 20000);
    QVERIFY(!page->isSending());
    QVERIFY(send->isEnabled());
}

QTEST_MAIN(TestSMSPage)
#include "tst_smspage.moc"
