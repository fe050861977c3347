#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include "modalwatcher.h"
#include "settings/settings.h"
#include "ui/dialpadpage.h"
#include "ui/numberedit.h"
#include "util/dbstore.h"

// The dial pad without a signed-in phone: its pure rules and its local controls.
class TstDialPadPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void formatDuration_data();
    void formatDuration();
    void creditText_data();
    void creditText();
    void idleState();
    void keypadTypesWithoutACall();
    void volumePanelStoresItsLevel_data();
    void volumePanelStoresItsLevel();
    void muteAndUnmute();
    void stepsStayInRange();
    void callButtonWithoutPhoneDoesNothing();

private:
    QTemporaryDir folder;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<Settings> settings;
};

void TstDialPadPage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    store = std::make_unique<DbStore>();
    store->setDataFolder(folder.path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    settings = std::make_unique<Settings>(store.get());
}

void TstDialPadPage::cleanupTestCase()
{
    settings.reset();
    store->closeDatabases();
}

void TstDialPadPage::formatDuration_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("00:00:00");
    QTest::newRow("just under a second") << qint64(999) << QStringLiteral("00:00:00");
    QTest::newRow("one minute") << qint64(60000) << QStringLiteral("00:01:00");
    QTest::newRow("1 h 2 min 3 s") << qint64((3600 + 120 + 3) * 1000) << QStringLiteral("01:02:03");
    QTest::newRow("a day") << qint64(24 * 3600 * 1000) << QStringLiteral("24:00:00");
    QTest::newRow("clock went back") << qint64(-5000) << QStringLiteral("00:00:00");
}

void TstDialPadPage::formatDuration()
{
    QFETCH(qint64, msecs);
    QFETCH(QString, text);
    QCOMPARE(DialPadPage::formatDuration(msecs), text);
}

void TstDialPadPage::creditText_data()
{
    QTest::addColumn<double>("credit");
    QTest::addColumn<QString>("text");
    QTest::newRow("twelve and a half") << 12.5 << QStringLiteral("€12.50");
    QTest::newRow("a cent") << 0.01 << QStringLiteral("€0.01");
    QTest::newRow("zero") << 0.0 << QStringLiteral("<font color=red><b>BUY</b></font>");
    QTest::newRow("negative") << -2.0 << QStringLiteral("<font color=red><b>BUY</b></font>");
}

void TstDialPadPage::creditText()
{
    QFETCH(double, credit);
    QFETCH(QString, text);
    Balance balance;
    balance.setCredit(credit);
    balance.setCurrencySymbol(QStringLiteral("€"));
    QCOMPARE(DialPadPage::creditText(balance), text);
    DialPadPage page;
    page.updateBalance(balance);
    QCOMPARE(page.creditButtonText(), text);
}

void TstDialPadPage::idleState()
{
    DialPadPage page;
    QCOMPARE(page.stateText(), QStringLiteral("Enter Phone Number"));
    QVERIFY(page.offersCall());
    QCOMPARE(page.shownCall(), nullptr);
    QCOMPARE(page.creditButtonText(), QStringLiteral("<font color=red><b>BUY</b></font>"));
}

void TstDialPadPage::keypadTypesWithoutACall()
{
    DialPadPage page;
    page.show();
    for (const char *name : { "num5", "num5", "num5", "numStar", "numHash", "num0" })
        page.findChild<QPushButton *>(QLatin1String(name))->click();
    QString digits = page.numberEdit()->text();
    digits.remove(QLatin1Char('-'));
    QCOMPARE(digits, QStringLiteral("555*#0"));
    for (QPushButton *key : page.findChildren<QPushButton *>(QRegularExpression(QStringLiteral("^num"))))
        QVERIFY(key->property("_num_button").toBool());
}

void TstDialPadPage::volumePanelStoresItsLevel_data()
{
    QTest::addColumn<bool>("mic");
    QTest::newRow("speaker") << false;
    QTest::newRow("microphone") << true;
}

void TstDialPadPage::volumePanelStoresItsLevel()
{
    QFETCH(bool, mic);
    DialPadPage page;
    page.setSettings(settings.get());
    if (mic)
        page.showMicVolumePanel();
    else
        page.showSpeakerVolumePanel();
    QCOMPARE(page.isMicPanel(), mic);
    QSignalSpy micChanged(&page, &DialPadPage::micVolumeChanged);
    QSignalSpy speakerChanged(&page, &DialPadPage::speakerVolumeChanged);
    page.findChild<QSlider *>(QStringLiteral("volumeSlider"))->setValue(70);
    QCOMPARE(mic ? settings->audioInputVolume() : settings->audioOutputVolume(), 70u);
    QCOMPARE((mic ? micChanged : speakerChanged).count(), 1);
    QCOMPARE((mic ? speakerChanged : micChanged).count(), 0);
    // The other panel shows its own stored level.
    if (mic)
        page.showSpeakerVolumePanel();
    else
        page.showMicVolumePanel();
    QCOMPARE(page.volume(), int(mic ? settings->audioOutputVolume() : settings->audioInputVolume()));
}

void TstDialPadPage::muteAndUnmute()
{
    DialPadPage page;
    page.setSettings(settings.get());
    page.showSpeakerVolumePanel();
    auto *slider = page.findChild<QSlider *>(QStringLiteral("volumeSlider"));
    auto *mute = page.findChild<QPushButton *>(QStringLiteral("muteButton"));
    slider->setValue(40);
    QSignalSpy muted(&page, &DialPadPage::speakerMuted);
    QSignalSpy changed(&page, &DialPadPage::speakerVolumeChanged);
    mute->click();
    QCOMPARE(slider->value(), slider->minimum());
    QCOMPARE(muted.count(), 1);
    QCOMPARE(muted.last().first().toBool(), true);
    // Muting does not overwrite the stored level.
    QCOMPARE(settings->audioOutputVolume(), 40u);
    QCOMPARE(changed.count(), 0);
    mute->click();
    QCOMPARE(slider->value(), 40);
    QCOMPARE(muted.last().first().toBool(), false);
    // Raising the volume while muted unmutes.
    mute->click();
    slider->setValue(50);
    QVERIFY(!mute->isChecked());
}

void TstDialPadPage::stepsStayInRange()
{
    DialPadPage page;
    page.setSettings(settings.get());
    page.showSpeakerVolumePanel();
    auto *slider = page.findChild<QSlider *>(QStringLiteral("volumeSlider"));
    slider->setValue(95);
    page.findChild<QPushButton *>(QStringLiteral("volUpButton"))->click();
    QCOMPARE(slider->value(), slider->maximum());
    slider->setValue(5);
    page.findChild<QPushButton *>(QStringLiteral("volDownButton"))->click();
    QCOMPARE(slider->value(), slider->minimum());
    page.stepVolume(2);
    QCOMPARE(slider->value(), 2 * slider->pageStep());
}

void TstDialPadPage::callButtonWithoutPhoneDoesNothing()
{
    DialPadPage page;
    page.numberEdit()->setText(QStringLiteral("+15550100"));
    ModalWatcher watcher;
    page.findChild<QPushButton *>(QStringLiteral("callHungUpButton"))->click();
    QTest::qWait(50);
    QVERIFY(!watcher.seen());
    QVERIFY(page.offersCall());
}

QTEST_MAIN(TstDialPadPage)
#include "tst_dialpadpage.moc"
