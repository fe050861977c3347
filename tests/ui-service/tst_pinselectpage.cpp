#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "phone/phone.h"
#include "rest/account.h"
#include "settings/settings.h"
#include "ui/pinselectpage.h"
#include "util/dbstore.h"

class TestPINSelectPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noPinsSelectsZero();
    void setPINsSelectsTheFirst();
    void defaultPin();
    void progressSwitchesPages();
    void confirmEmitsThePin();
    void enterOnTheComboIsConsumed();
    void skipCheckBoxMirrorsTheSetting();
    void signInFillsThePinsOfTheAccount();
};

void TestPINSelectPage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestPINSelectPage::noPinsSelectsZero()
{
    PINSelectPage page;
    QCOMPARE(page.selectedPIN(), 0);
    QVERIFY(!page.findChild<QPushButton *>(QStringLiteral("confirmButton"))->isEnabled());
    QSignalSpy selected(&page, &PINSelectPage::PINSelected);
    QMetaObject::invokeMethod(&page, "onConfirmClicked");
    QCOMPARE(selected.size(), 0);
}

void TestPINSelectPage::setPINsSelectsTheFirst()
{
    PINSelectPage page;
    page.setPINs({ QStringLiteral("111-01"), QStringLiteral("222-02") });
    QCOMPARE(page.selectedPIN(), 0);
    QCOMPARE(page.selectedPINText(), QStringLiteral("111-01"));
    page.findChild<QComboBox *>(QStringLiteral("pinComobBox"))->setCurrentIndex(1);
    QCOMPARE(page.selectedPIN(), 1);
    page.setPINs({ QStringLiteral("333") });
    QCOMPARE(page.pins(), QStringList({ QStringLiteral("333") }));
    QCOMPARE(page.selectedPIN(), 0);
}

void TestPINSelectPage::defaultPin()
{
    PINSelectPage page;
    page.setPINs({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
    page.setDefaultPIN(2);
    QCOMPARE(page.selectedPIN(), 2);
    page.setDefaultPIN(5);
    QCOMPARE(page.selectedPIN(), 2);
    page.setDefaultPIN(-1);
    QCOMPARE(page.selectedPIN(), 2);
}

void TestPINSelectPage::progressSwitchesPages()
{
    PINSelectPage page;
    auto *stack = page.findChild<QStackedWidget *>(QStringLiteral("pinStackedWidget"));
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("pageConfirm"));
    page.setInProgress(true);
    QVERIFY(page.inProgress());
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("pageProgress"));
    page.setInProgress(false);
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("pageConfirm"));
}

void TestPINSelectPage::confirmEmitsThePin()
{
    PINSelectPage page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.setPINs({ QStringLiteral("111-01"), QStringLiteral("222-02") });
    page.setDefaultPIN(1);
    QSignalSpy selected(&page, &PINSelectPage::PINSelected);
    QTest::mouseClick(page.findChild<QPushButton *>(QStringLiteral("confirmButton")), Qt::LeftButton);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().first().toString(), QStringLiteral("222-02"));
}

void TestPINSelectPage::enterOnTheComboIsConsumed()
{
    PINSelectPage page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.setPINs({ QStringLiteral("a"), QStringLiteral("b") });
    auto *combo = page.findChild<QComboBox *>(QStringLiteral("pinComobBox"));
    QSignalSpy selected(&page, &PINSelectPage::PINSelected);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QVERIFY(static_cast<QObject &>(page).eventFilter(combo, &enter));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QVERIFY(!static_cast<QObject &>(page).eventFilter(combo, &down));
    QCOMPARE(selected.size(), 0);
}

void TestPINSelectPage::skipCheckBoxMirrorsTheSetting()
{
    QTemporaryDir dir;
    DbStore store;
    store.setDataFolder(dir.path());
    store.loadDatabases();
    QVERIFY(store.isOpen());
    {
        Settings settings(&store);
        settings.setSkipPinSelection(true);
        PINSelectPage page;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Setting up pin selection checkbox"));
        page.setSettings(&settings);
        auto *skip = page.findChild<QCheckBox *>(QStringLiteral("skipPinSelectionCheckBox"));
        QCOMPARE(skip->text(), QStringLiteral("Skip pin selection \nand use this pin by default."));
        QVERIFY(skip->isChecked());
        skip->setChecked(false);
        QVERIFY(!settings.skipPinSelection());
    }
    while (store.isOpen())
        store.closeDatabases();
}

void TestPINSelectPage::signInFillsThePinsOfTheAccount()
{
    Phone phone;
    Account account;
    account.setPhones({ QStringLiteral("52871934-01"), QStringLiteral("52871934-02") });
    // Only the account record matters here; without voice credentials no voice login is tried.
    phone.onAccountRequestFinished(account);
    PINSelectPage page;
    page.setPhone(&phone);
    page.setInProgress(true);
    emit phone.loginSuccessful();
    QCOMPARE(page.pins(), account.phones());
    QVERIFY(!page.inProgress());

    // A second sign-in (a reconnect) keeps the PIN the user picked.
    page.setDefaultPIN(1);
    emit phone.loginSuccessful();
    QCOMPARE(page.selectedPIN(), 1);
}

QTEST_MAIN(TestPINSelectPage)
#include "tst_pinselectpage.moc"
