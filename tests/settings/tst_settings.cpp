#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/autostartentry.h"
#include "scratchsettings.h"

using talk::Device;
using talk::ProxySettings;

namespace {

using BoolGetter = bool (Settings::*)(bool) const;
using BoolSetter = void (Settings::*)(bool);

struct BoolSetting
{
    const char *key;
    BoolGetter get;
    BoolSetter set;
    bool readDefault;
    bool compareDefault;
    const char *schemaValue; // null: no default row
};

const BoolSetting boolSettings[] = {
    { "login.autostart", &Settings::autoStart, &Settings::setAutoStart, true, true, "true" },
    { "login.auto", &Settings::autoLogin, &Settings::setAutoLogin, false, false, "false" },
    { "login.remember", &Settings::rememberLogin, &Settings::setRememberLogin, false, false, "false" },
    { "login.welcome", &Settings::showWelcome, &Settings::setShowWelcome, true, true, "true" },
    { "login.skipPinSelection", &Settings::skipPinSelection, &Settings::setSkipPinSelection, false, false,
        nullptr },
    { "ui.minimizetotray", &Settings::minimizeToTrayOnClose, &Settings::setMinimizeToTrayOnClose, true, true,
        "true" },
    { "ui.minimizetotray.hint", &Settings::minimizeToTrayHint, &Settings::setMinimizeToTrayHint, true, true,
        "true" },
    { "settings.call.callStartDblClick", &Settings::callStartDblClick, &Settings::setCallStartDblClick, true,
        true, "true" },
    { "settings.call.autoAnswerCalls", &Settings::autoAnswerCalls, &Settings::setAutoAnswerCalls, false,
        false, "false" },
    { "settings.audio.muteAll", &Settings::muteAllSounds, &Settings::setMuteAllSounds, false, false,
        nullptr },
    { "settings.audio.noiseSuppresion", &Settings::noiseSuppression, &Settings::setNoiseSuppression, true,
        true, nullptr },
    { "settings.audio.automaticGainControl", &Settings::automaticGainControl,
        &Settings::setAutomaticGainControl, true, true, nullptr },
    { "settings.audio.echoCancelation", &Settings::echoCancellation, &Settings::setEchoCancellation, true,
        true, nullptr },
    { "settings.update.autoUpdate", &Settings::autoUpdate, &Settings::setAutoUpdate, false, false, "true" },
    { "settings.hotkeys.placeCallEnabled", &Settings::placeCallHotkeyEnabled,
        &Settings::setPlaceCallHotkeyEnabled, true, true, "true" },
    { "settings.hotkeys.cancelCallEnabled", &Settings::cancelCallHotkeyEnabled,
        &Settings::setCancelCallHotkeyEnabled, true, true, "true" },
    { "settings.hotkeys.increaseSpeakerVolEnabled", &Settings::increaseSpeakerVolHotkeyEnabled,
        &Settings::setIncreaseSpeakerVolHotkeyEnabled, true, true, "true" },
    { "settings.hotkeys.decreaseSpeakerVolEnabled", &Settings::decreaseSpeakerVolHotkeyEnabled,
        &Settings::setDecreaseSpeakerVolHotkeyEnabled, true, true, "true" },
    { "settings.hotkeys.increaseMicVolEnabled", &Settings::increaseMicVolHotkeyEnabled,
        &Settings::setIncreaseMicVolHotkeyEnabled, true, true, "true" },
    { "settings.hotkeys.decreaseMicVolEnabled", &Settings::decreaseMicVolHotkeyEnabled,
        &Settings::setDecreaseMicVolHotkeyEnabled, true, true, "true" },
    { "settings.hotkeys.showHideGroupsEnabled", &Settings::showHideGroupsHotkeyEnabled,
        &Settings::setShowHideGroupsHotkeyEnabled, true, true, "true" },
};

using StringGetter = QString (Settings::*)(const QString &) const;
using StringSetter = void (Settings::*)(const QString &);

struct StringSetting
{
    const char *key;
    StringGetter get;
    StringSetter set;
    const char *readDefault;
    const char *schemaValue;
};

const StringSetting stringSettings[] = {
    { "login.user", &Settings::userName, &Settings::setUserName, "", nullptr },
    { "login.pass", &Settings::password, &Settings::setPassword, "", nullptr },
    { "settings.hotkeys.placeCall", &Settings::placeCallHotkey, &Settings::setPlaceCallHotkey, "Enter",
        "Enter" },
    { "settings.hotkeys.cancelCall", &Settings::cancelCallHotkey, &Settings::setCancelCallHotkey, "Esc",
        "Esc" },
    { "settings.hotkeys.increaseSpeakerVol", &Settings::increaseSpeakerVolHotkey,
        &Settings::setIncreaseSpeakerVolHotkey, "Ctrl+Right", "Ctrl+Right" },
    { "settings.hotkeys.decreaseSpeakerVol", &Settings::decreaseSpeakerVolHotkey,
        &Settings::setDecreaseSpeakerVolHotkey, "Ctrl+Left", "Ctrl+Left" },
    { "settings.hotkeys.increaseMicVol", &Settings::increaseMicVolHotkey, &Settings::setIncreaseMicVolHotkey,
        "Alt+Right", "Alt+Right" },
    { "settings.hotkeys.decreaseMicVol", &Settings::decreaseMicVolHotkey, &Settings::setDecreaseMicVolHotkey,
        "Alt+Left", "Alt+Left" },
    { "settings.hotkeys.showHideGroups", &Settings::showHideGroupsHotkey, &Settings::setShowHideGroupsHotkey,
        "Ctrl+H", "Ctrl+H" },
};

// What the row holds: its text, or an invalid variant when there is no row.
QVariant row(const QString &name)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("select value from settings where name = :name"));
    query.bindValue(QStringLiteral(":name"), name);
    if (!query.exec() || !query.next())
        return QVariant();
    return query.value(0);
}

void deleteRow(const QString &name)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("delete from settings where name = :name"));
    query.bindValue(QStringLiteral(":name"), name);
    QVERIFY(query.exec());
}

int settingsRows()
{
    QSqlQuery query(QStringLiteral("select count(*) from settings"));
    return query.next() ? query.value(0).toInt() : -1;
}

// Stand-in for the talk connection: the only thing settings ask of it is its current proxy.
class FakeTalk : public QObject
{
public:
    ProxySettings current;
    ProxySettings proxySettings() const { return current; }
};

QStringList capturedMessages;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedMessages.append(message);
}

} // namespace

class TstSettings : public QObject, private ScratchSettings
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void boolReadsDefaultRow_data();
    void boolReadsDefaultRow();
    void boolReadDefaultWithoutRow_data();
    void boolReadDefaultWithoutRow();
    void boolSetterWritesOnlyOnChange_data();
    void boolSetterWritesOnlyOnChange();
    void stringSetting_data();
    void stringSetting();
    void removeUserNameAndPassword();
    void changeSignalsFireOnce_data();
    void changeSignalsFireOnce();
    void volumes_data();
    void volumes();
    void deviceStoredInTwoRows();
    void deviceWithSameIdWritesNothing();
    void nullDeviceRemovesBothRows();
    void deviceWithOneRowMissingReadsDefault();
    void customProxyAlwaysWritten();
    void proxyDefaultsComeFromTalkConnection();
    void proxyRecordRoundTrip();
    void equalProxyRecordWritesNothing();
    void proxyPasswordNeverLogged();
    void autostartEntryFollowsSetting();
    void readingAutostartRepairsEntry();
    void valuesSurviveReopen();
    void withoutDatabaseGettersReturnDefaults();

private:
};

void TstSettings::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane Settings Test"));
}

void TstSettings::init()
{
    openSettings();
}

void TstSettings::cleanup()
{
    closeSettings();
    QFile::remove(AutostartEntry::filePath());
}

void TstSettings::boolReadsDefaultRow_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(boolSettings)); ++i) {
        if (boolSettings[i].schemaValue)
            QTest::newRow(boolSettings[i].key) << i;
    }
}

void TstSettings::boolReadsDefaultRow()
{
    QFETCH(int, index);
    const BoolSetting &s = boolSettings[index];
    const bool schema = qstrcmp(s.schemaValue, "true") == 0;
    // The row wins over whatever default the caller passes.
    QCOMPARE((settings.get()->*s.get)(!schema), schema);
    QCOMPARE((settings.get()->*s.get)(schema), schema);
}

void TstSettings::boolReadDefaultWithoutRow_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(boolSettings)); ++i)
        QTest::newRow(boolSettings[i].key) << i;
}

void TstSettings::boolReadDefaultWithoutRow()
{
    QFETCH(int, index);
    const BoolSetting &s = boolSettings[index];
    deleteRow(QLatin1String(s.key));
    QCOMPARE((settings.get()->*s.get)(s.readDefault), s.readDefault);
    QCOMPARE((settings.get()->*s.get)(!s.readDefault), !s.readDefault);
}

void TstSettings::boolSetterWritesOnlyOnChange_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(boolSettings)); ++i)
        QTest::newRow(boolSettings[i].key) << i;
}

void TstSettings::boolSetterWritesOnlyOnChange()
{
    QFETCH(int, index);
    const BoolSetting &s = boolSettings[index];
    const QString key = QLatin1String(s.key);
    deleteRow(key);

    (settings.get()->*s.set)(s.compareDefault);
    QVERIFY2(!row(key).isValid(), "setting the value the setter compares with writes nothing");

    (settings.get()->*s.set)(!s.compareDefault);
    QCOMPARE(row(key).toString(), s.compareDefault ? QStringLiteral("false") : QStringLiteral("true"));

    (settings.get()->*s.set)(s.compareDefault);
    QCOMPARE(row(key).toString(), s.compareDefault ? QStringLiteral("true") : QStringLiteral("false"));
}

void TstSettings::stringSetting_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(stringSettings)); ++i)
        QTest::newRow(stringSettings[i].key) << i;
}

void TstSettings::stringSetting()
{
    QFETCH(int, index);
    const StringSetting &s = stringSettings[index];
    const QString key = QLatin1String(s.key);
    if (s.schemaValue)
        QCOMPARE((settings.get()->*s.get)(QStringLiteral("other")), QLatin1String(s.schemaValue));
    deleteRow(key);
    QCOMPARE((settings.get()->*s.get)(QLatin1String(s.readDefault)), QLatin1String(s.readDefault));

    (settings.get()->*s.set)(QLatin1String(s.readDefault));
    QVERIFY(!row(key).isValid());
    (settings.get()->*s.set)(QStringLiteral("Ctrl+Shift+X"));
    QCOMPARE(row(key).toString(), QStringLiteral("Ctrl+Shift+X"));
    QCOMPARE((settings.get()->*s.get)(QLatin1String(s.readDefault)), QStringLiteral("Ctrl+Shift+X"));
}

void TstSettings::removeUserNameAndPassword()
{
    settings->setUserName(QStringLiteral("anna"));
    settings->setPassword(QStringLiteral("secret"));
    QCOMPARE(settings->userName(), QStringLiteral("anna"));
    QCOMPARE(settings->password(), QStringLiteral("secret"));
    settings->removeUserName();
    settings->removePassword();
    QVERIFY(!row(QStringLiteral("login.user")).isValid());
    QVERIFY(!row(QStringLiteral("login.pass")).isValid());
    QCOMPARE(settings->userName(QStringLiteral("none")), QStringLiteral("none"));
}

void TstSettings::changeSignalsFireOnce_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("autoAnswerCalls") << 0;
    QTest::newRow("callStartDblClick") << 1;
    QTest::newRow("minimizeToTrayOnClose") << 2;
}

void TstSettings::changeSignalsFireOnce()
{
    QFETCH(int, which);
    std::unique_ptr<QSignalSpy> spy;
    BoolSetter set = nullptr;
    bool current = false;
    QString key;
    switch (which) {
    case 0:
        spy = std::make_unique<QSignalSpy>(settings.get(), &Settings::autoAnswerCallsChanged);
        set = &Settings::setAutoAnswerCalls;
        key = QStringLiteral("settings.call.autoAnswerCalls");
        current = false;
        break;
    case 1:
        spy = std::make_unique<QSignalSpy>(settings.get(), &Settings::callStartDblClickChanged);
        set = &Settings::setCallStartDblClick;
        key = QStringLiteral("settings.call.callStartDblClick");
        current = true;
        break;
    default:
        spy = std::make_unique<QSignalSpy>(settings.get(), &Settings::minimizeToTrayOnCloseChanged);
        set = &Settings::setMinimizeToTrayOnClose;
        key = QStringLiteral("ui.minimizetotray");
        current = true;
        break;
    }
    (settings.get()->*set)(current);
    QCOMPARE(spy->count(), 0);
    (settings.get()->*set)(!current);
    QCOMPARE(spy->count(), 1);
    QCOMPARE(spy->takeFirst().first().toBool(), !current);
    QCOMPARE(row(key).toString(), !current ? QStringLiteral("true") : QStringLiteral("false"));
    (settings.get()->*set)(!current);
    QCOMPARE(spy->count(), 0);
}

void TstSettings::volumes_data()
{
    QTest::addColumn<bool>("input");
    QTest::newRow("input") << true;
    QTest::newRow("output") << false;
}

void TstSettings::volumes()
{
    QFETCH(bool, input);
    const QString key = input ? QStringLiteral("settings.audio.inputVolume")
                              : QStringLiteral("settings.audio.outputVolume");
    QSignalSpy spy(
        settings.get(), input ? &Settings::audioInputVolumeChanged : &Settings::audioOutputVolumeChanged);
    auto get = [&] { return input ? settings->audioInputVolume() : settings->audioOutputVolume(); };
    auto set = [&](uint v) { input ? settings->setAudioInputVolume(v) : settings->setAudioOutputVolume(v); };

    QCOMPARE(get(), 25u);
    set(25);
    QVERIFY(!row(key).isValid());
    QCOMPARE(spy.count(), 0);

    set(80);
    QCOMPARE(row(key).toString(), QStringLiteral("80"));
    QCOMPARE(get(), 80u);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toUInt(), 80u);
    set(80);
    QCOMPARE(spy.count(), 1);
}

void TstSettings::deviceStoredInTwoRows()
{
    QSignalSpy spy(settings.get(), &Settings::audioInputDeviceChanged);
    const Device mic(QStringLiteral("alsa_input.usb"), QStringLiteral("USB Mic"));
    QVERIFY(settings->audioInputDevice().isNull());
    settings->setAudioInputDevice(mic);
    QCOMPARE(
        row(QStringLiteral("settings.audio.inputDevice.id")).toString(), QStringLiteral("alsa_input.usb"));
    QCOMPARE(row(QStringLiteral("settings.audio.inputDevice.name")).toString(), QStringLiteral("USB Mic"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().value<Device>(), mic);

    const Device read = settings->audioInputDevice();
    QVERIFY(!read.isNull());
    QCOMPARE(read.id(), mic.id());
    QCOMPARE(read.name(), mic.name());
    QCOMPARE(read.dname(), mic.name());
    QVERIFY(settings->audioOutputDevice().isNull());
}

void TstSettings::deviceWithSameIdWritesNothing()
{
    settings->setAudioOutputDevice(Device(QStringLiteral("sink-1"), QStringLiteral("Speakers")));
    QSignalSpy spy(settings.get(), &Settings::audioOutputDeviceChanged);
    settings->setAudioOutputDevice(Device(QStringLiteral("sink-1"), QStringLiteral("Renamed Speakers")));
    QCOMPARE(row(QStringLiteral("settings.audio.outputDevice.name")).toString(), QStringLiteral("Speakers"));
    QCOMPARE(spy.count(), 0);
}

void TstSettings::nullDeviceRemovesBothRows()
{
    settings->setAudioInputDevice(Device(QStringLiteral("mic"), QStringLiteral("Mic")));
    QSignalSpy spy(settings.get(), &Settings::audioInputDeviceChanged);
    settings->setAudioInputDevice(Device());
    QVERIFY(!row(QStringLiteral("settings.audio.inputDevice.id")).isValid());
    QVERIFY(!row(QStringLiteral("settings.audio.inputDevice.name")).isValid());
    QCOMPARE(spy.count(), 1);
    QVERIFY(spy.first().first().value<Device>().isNull());

    const Device fallback(QStringLiteral("default"), QStringLiteral("Default"));
    QCOMPARE(settings->audioInputDevice(fallback).id(), QStringLiteral("default"));
    // Storing null again changes nothing.
    settings->setAudioInputDevice(Device());
    QCOMPARE(spy.count(), 1);
}

void TstSettings::deviceWithOneRowMissingReadsDefault()
{
    settings->setAudioInputDevice(Device(QStringLiteral("mic"), QStringLiteral("Mic")));
    deleteRow(QStringLiteral("settings.audio.inputDevice.name"));
    const Device fallback(QStringLiteral("default"), QStringLiteral("Default"));
    QCOMPARE(settings->audioInputDevice(fallback).id(), QStringLiteral("default"));
    QVERIFY(settings->audioInputDevice().isNull());
}

void TstSettings::customProxyAlwaysWritten()
{
    QVERIFY(!row(QStringLiteral("settings.connection.proxy.custom")).isValid());
    QCOMPARE(settings->customProxy(), false);
    settings->setCustomProxy(false);
    QCOMPARE(row(QStringLiteral("settings.connection.proxy.custom")).toString(), QStringLiteral("false"));
    settings->setCustomProxy(true);
    QCOMPARE(settings->customProxy(), true);
}

void TstSettings::proxyDefaultsComeFromTalkConnection()
{
    QCOMPARE(settings->proxySettings(), ProxySettings());

    auto talk = std::make_unique<FakeTalk>();
    talk->current
        = ProxySettings(2, QStringLiteral("socks.lan"), 1080, true, QStringLiteral("u"), QStringLiteral("p"));
    settings->setTalk(talk.get());
    const ProxySettings read = settings->proxySettings();
    QCOMPARE(read.type(), 2);
    QCOMPARE(read.host(), QStringLiteral("socks.lan"));
    QCOMPARE(read.port(), 1080);
    // Authentication has its own default: off.
    QCOMPARE(read.auth(), false);
    QCOMPARE(read.user(), QStringLiteral("u"));
    QCOMPARE(read.password(), QStringLiteral("p"));

    // A talk connection that is gone supplies nothing.
    talk.reset();
    QCOMPARE(settings->proxySettings(), ProxySettings());
    settings->setTalk(static_cast<FakeTalk *>(nullptr));
    QCOMPARE(settings->proxySettings(), ProxySettings());
}

void TstSettings::proxyRecordRoundTrip()
{
    const ProxySettings proxy(
        1, QStringLiteral("proxy.lan"), 3128, true, QStringLiteral("anna"), QStringLiteral("pw"));
    settings->setProxySettings(proxy);
    QCOMPARE(row(QStringLiteral("settings.connection.proxyMode")).toString(), QStringLiteral("1"));
    QCOMPARE(row(QStringLiteral("settings.connection.proxyHost")).toString(), QStringLiteral("proxy.lan"));
    QCOMPARE(row(QStringLiteral("settings.connection.proxyPort")).toString(), QStringLiteral("3128"));
    QCOMPARE(row(QStringLiteral("settings.connection.proxyAuthEnabled")).toString(), QStringLiteral("true"));
    QCOMPARE(row(QStringLiteral("settings.connection.proxyUsername")).toString(), QStringLiteral("anna"));
    QCOMPARE(row(QStringLiteral("settings.connection.proxyPassword")).toString(), QStringLiteral("pw"));
    QCOMPARE(settings->proxySettings(), proxy);
}

void TstSettings::equalProxyRecordWritesNothing()
{
    FakeTalk talk;
    talk.current = ProxySettings(3, QString(), 0);
    settings->setTalk(&talk);
    const int before = settingsRows();
    QTest::ignoreMessage(QtDebugMsg,
        QRegularExpression(QStringLiteral("Proxy Settings already present\\.\\.\\. skipping\\.\\.\\.")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(":\" Proxy Settings:  \"\" 0 3 $")));
    settings->setProxySettings(ProxySettings(3, QString(), 0));
    QCOMPARE(settingsRows(), before);
    QVERIFY(!row(QStringLiteral("settings.connection.proxyMode")).isValid());
}

void TstSettings::proxyPasswordNeverLogged()
{
    capturedMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    settings->setProxySettings(ProxySettings(1, QStringLiteral("proxy.lan"), 3128, true,
        QStringLiteral("anna"), QStringLiteral("Zq-very-secret")));
    settings->setProxySettings(ProxySettings(1, QStringLiteral("proxy.lan"), 3128, true,
        QStringLiteral("anna"), QStringLiteral("Zq-very-secret")));
    qInstallMessageHandler(previous);
    QVERIFY(!capturedMessages.isEmpty());
    for (const QString &message : qAsConst(capturedMessages))
        QVERIFY2(!message.contains(QStringLiteral("Zq-very-secret")), qPrintable(message));
}

void TstSettings::autostartEntryFollowsSetting()
{
    const QString entry = AutostartEntry::filePath();
    QFile::remove(entry);
    settings->setAutoStart(false);
    QVERIFY(!QFile::exists(entry));
    QCOMPARE(row(QStringLiteral("login.autostart")).toString(), QStringLiteral("false"));

    settings->setAutoStart(true);
    QVERIFY(QFile::exists(entry));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains(QStringLiteral("Exec=")
        + AutostartEntry::quoteExecArgument(QCoreApplication::applicationFilePath())));
    QVERIFY(text.contains(QStringLiteral("Name=Talkvane Settings Test")));

    settings->setAutoStart(false);
    QVERIFY(!QFile::exists(entry));
}

void TstSettings::readingAutostartRepairsEntry()
{
    const QString entry = AutostartEntry::filePath();
    QFile::remove(entry);
    QCOMPARE(settings->autoStart(), true);
    QVERIFY(QFile::exists(entry));

    deleteRow(QStringLiteral("login.autostart"));
    QCOMPARE(settings->autoStart(false), false);
    QVERIFY(!QFile::exists(entry));
}

void TstSettings::valuesSurviveReopen()
{
    settings->setAutoAnswerCalls(true);
    settings->setAudioOutputVolume(60);
    settings->setAudioOutputDevice(Device(QStringLiteral("sink"), QStringLiteral("Sink")));
    settings.reset();
    store->closeDatabases();

    DbStore reopened;
    reopened.setDataFolder(dir->path());
    reopened.loadDatabases();
    Settings again(&reopened);
    QCOMPARE(again.autoAnswerCalls(), true);
    QCOMPARE(again.audioOutputVolume(), 60u);
    QCOMPARE(again.audioOutputDevice().id(), QStringLiteral("sink"));
    QCOMPARE(again.showWelcome(false), true);
    reopened.closeDatabases();
}

void TstSettings::withoutDatabaseGettersReturnDefaults()
{
    settings.reset();
    store->closeDatabases();
    Settings unstored(store.get());
    QCOMPARE(unstored.showWelcome(false), false);
    QCOMPARE(unstored.audioInputVolume(), 25u);
    QCOMPARE(unstored.placeCallHotkey(), QStringLiteral("Enter"));
    unstored.setAutoAnswerCalls(true);
    QCOMPARE(unstored.autoAnswerCalls(), false);
    QVERIFY(unstored.audioInputDevice().isNull());

    Settings noStore(nullptr);
    QCOMPARE(noStore.autoLogin(true), true);
    noStore.setAutoLogin(false);
    QCOMPARE(noStore.proxySettings(), ProxySettings());
}

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
