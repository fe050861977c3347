#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "homeurls.h"
#include "prefixprovider.h"
#include "rest/onlinenumber.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "ui/virtualnumberitemwidget.h"
#include "ui/virtualnumberspage.h"
#include "webserviceemulator.h"

// Catches the pages the screen opens in the browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestVirtualNumbersPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void expiration_data();
    void expiration();
    void noNumbersAsksToBuyOne();
    void rowsInListOrder();
    void expiringTodayIsExpired();
    void unknownDateShowsNoExpiry();
    void renewAndBuyOpenTheShop();
    void showsTheServicesNumbersWithTheirDates();
    void userWithoutNumbers();

private:
    QList<OnlineNumber> fetchNumbers(const QString &user, const QString &password);
    QLabel *infoLabel(VirtualNumbersPage &page);

    QTemporaryDir dir;
    WebServiceEmulator emu;
    ServiceUrls urls;
    UrlCatcher browser;
    const QDate today { 2024, 5, 10 };
};

void TestVirtualNumbersPage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<QList<OnlineNumber>>();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
    QVERIFY(dir.isValid());
    QVERIFY2(emu.start(), qPrintable(emu.errorString()));
    QVERIFY(emu.exportEnvironment(dir.filePath(QStringLiteral("urls.ini"))));
    urls = ServiceUrls::load();
}

void TestVirtualNumbersPage::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

QLabel *TestVirtualNumbersPage::infoLabel(VirtualNumbersPage &page)
{
    return page.findChild<QLabel *>(QStringLiteral("infoLabel"));
}

void TestVirtualNumbersPage::expiration_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expired");
    const QDate tomorrow = today.addDays(1);
    const QDate yesterday = today.addDays(-1);
    QTest::newRow("tomorrow") << tomorrow << "expires on " + tomorrow.toString(Qt::TextDate) << false;
    QTest::newRow("today") << today << "expired on " + today.toString(Qt::TextDate) << true;
    QTest::newRow("yesterday") << yesterday << "expired on " + yesterday.toString(Qt::TextDate) << true;
}

void TestVirtualNumbersPage::expiration()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QFETCH(bool, expired);
    QCOMPARE(VirtualNumberItemWidget::expirationText(date, today), text);
    QCOMPARE(VirtualNumberItemWidget::isExpired(date, today), expired);
}

void TestVirtualNumbersPage::noNumbersAsksToBuyOne()
{
    VirtualNumbersPage page;
    page.setVirtualNumbers({});
    QCOMPARE(infoLabel(page)->text(),
        QStringLiteral("You don't have any existing numbers.<br/>Click button below to buy one."));
    QCOMPARE(page.findChild<QWidget *>(QStringLiteral("topBackground"))->property("_styled").toBool(), false);
    QVERIFY(page.findChild<QListWidget *>(QStringLiteral("numbersListWidget"))->isHidden());
    QCOMPARE(page.rowCount(), 0);
}

void TestVirtualNumbersPage::rowsInListOrder()
{
    VirtualNumbersPage page;
    page.setClock([this] { return QDateTime(today, QTime(9, 0)); });
    page.setVirtualNumbers({ { QStringLiteral("+111"), QPixmap(), today.addDays(30) },
        { QStringLiteral("+222"), QPixmap(), today.addDays(-30) } });
    QCOMPARE(infoLabel(page)->text(), QStringLiteral("Your existing numbers:"));
    QCOMPARE(page.findChild<QWidget *>(QStringLiteral("topBackground"))->property("_styled").toBool(), true);
    QVERIFY(!page.findChild<QListWidget *>(QStringLiteral("numbersListWidget"))->isHidden());
    QCOMPARE(page.rowCount(), 2);
    QCOMPARE(page.row(0)->numberText(), QStringLiteral("+111"));
    QVERIFY(!page.row(0)->isExpired());
    QCOMPARE(page.row(1)->numberText(), QStringLiteral("+222"));
    QVERIFY(page.row(1)->isExpired());
    auto *list = page.findChild<QListWidget *>(QStringLiteral("numbersListWidget"));
    QCOMPARE(list->item(0)->sizeHint().height(), 66);

    // A second list replaces the first.
    page.setVirtualNumbers({ { QStringLiteral("+333"), QPixmap(), today } });
    QCOMPARE(page.rowCount(), 1);
    QCOMPARE(page.row(0)->numberText(), QStringLiteral("+333"));
}

void TestVirtualNumbersPage::expiringTodayIsExpired()
{
    VirtualNumbersPage page;
    page.setClock([this] { return QDateTime(today, QTime(23, 59)); });
    page.setVirtualNumbers({ { QStringLiteral("+111"), QPixmap(), today } });
    VirtualNumberItemWidget *row = page.row(0);
    QCOMPARE(row->expirationText(), "expired on " + today.toString(Qt::TextDate));
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("expirationLabel"))->property("expired").toString(),
        QStringLiteral("true"));
}

void TestVirtualNumbersPage::unknownDateShowsNoExpiry()
{
    VirtualNumbersPage page;
    page.setVirtualNumbers({ { QStringLiteral("+111"), QPixmap(), QDate() } });
    QCOMPARE(page.row(0)->expirationText(), QString());
    QVERIFY(!page.row(0)->isExpired());
}

void TestVirtualNumbersPage::renewAndBuyOpenTheShop()
{
    HomeUrls home;
    home.onlineNumberURL = QUrl(QStringLiteral("https://shop.example.org/numbers"));
    VirtualNumbersPage page;
    page.setHomeUrls(&home);
    page.setVirtualNumbers({ { QStringLiteral("+111"), QPixmap(), today } });
    browser.opened.clear();
    QTest::mouseClick(page.row(0)->findChild<QPushButton *>(QStringLiteral("renewButton")), Qt::LeftButton);
    QTest::mouseClick(page.findChild<QPushButton *>(QStringLiteral("getNumberButton")), Qt::LeftButton);
    QCOMPARE(browser.opened, QList<QUrl>({ home.onlineNumberURL, home.onlineNumberURL }));
}

QList<OnlineNumber> TestVirtualNumbersPage::fetchNumbers(const QString &user, const QString &password)
{
    RestManager rest;
    rest.setServiceUrls(urls);
    rest.onUsernameChanged(user);
    rest.onPasswordChanged(password);
    QSignalSpy finished(&rest, qOverload<const QList<OnlineNumber> &>(&RestManager::requestFinished));
    rest.getOnlineNumbers();
    if (!finished.wait())
        return {};
    return finished.first().first().value<QList<OnlineNumber>>();
}

void TestVirtualNumbersPage::showsTheServicesNumbersWithTheirDates()
{
    QVERIFY(emu.reset());
    const QList<OnlineNumber> numbers = fetchNumbers(QStringLiteral("demo"), QStringLiteral("demo"));
    QCOMPARE(numbers.size(), 2);

    PrefixProvider prefixes;
    VirtualNumbersPage page;
    page.setPrefixProvider(&prefixes);
    page.setOnlineNumbers(numbers);
    page.resize(300, 420);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    QCOMPARE(page.rowCount(), 2);
    QCOMPARE(page.row(0)->numberText(), QStringLiteral("+493012345678"));
    QCOMPARE(page.row(0)->expirationText(), "expires on " + QDate(2031, 6, 30).toString(Qt::TextDate));
    QVERIFY(!page.row(0)->isExpired());
    QVERIFY(!page.row(0)->findChild<QLabel *>(QStringLiteral("flagLabel"))->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(page.row(1)->numberText(), QStringLiteral("+442071234567"));
    QCOMPARE(page.row(1)->expirationText(), "expired on " + QDate(2024, 1, 15).toString(Qt::TextDate));
    QVERIFY(page.row(1)->isExpired());
}

void TestVirtualNumbersPage::userWithoutNumbers()
{
    QVERIFY(emu.reset());
    const QList<OnlineNumber> numbers = fetchNumbers(QStringLiteral("alice"), QStringLiteral("alice-secret"));
    QVERIFY(numbers.isEmpty());
    VirtualNumbersPage page;
    page.setVirtualNumbers({ { QStringLiteral("+111"), QPixmap(), today } });
    page.setOnlineNumbers(numbers);
    QCOMPARE(page.rowCount(), 0);
    QCOMPARE(infoLabel(page)->text(),
        QStringLiteral("You don't have any existing numbers.<br/>Click button below to buy one."));
}

QTEST_MAIN(TestVirtualNumbersPage)
#include "tst_virtualnumberspage.moc"
