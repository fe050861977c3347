#include "settings.h"

#include "settings/autostartentry.h"
#include "util/dbstore.h"
#include "util/log.h"

namespace {

// Default of the device rows: no identifier or name a device can have (control characters).
const QString noDeviceRow = QStringLiteral("\x01talkvane:no-device\x01");

const QString keyAutoStart = QStringLiteral("login.autostart");
const QString keyAutoLogin = QStringLiteral("login.auto");
const QString keyRemember = QStringLiteral("login.remember");
const QString keyUser = QStringLiteral("login.user");
const QString keyPass = QStringLiteral("login.pass");
const QString keyWelcome = QStringLiteral("login.welcome");
const QString keySkipPin = QStringLiteral("login.skipPinSelection");
const QString keyMinimizeToTray = QStringLiteral("ui.minimizetotray");
const QString keyMinimizeToTrayHint = QStringLiteral("ui.minimizetotray.hint");
const QString keyCallStartDblClick = QStringLiteral("settings.call.callStartDblClick");
const QString keyAutoAnswer = QStringLiteral("settings.call.autoAnswerCalls");
const QString keyInputDevice = QStringLiteral("settings.audio.inputDevice");
const QString keyOutputDevice = QStringLiteral("settings.audio.outputDevice");
const QString keyInputVolume = QStringLiteral("settings.audio.inputVolume");
const QString keyOutputVolume = QStringLiteral("settings.audio.outputVolume");
const QString keyMuteAll = QStringLiteral("settings.audio.muteAll");
// The key's spelling is the stored one.
const QString keyNoiseSuppression = QStringLiteral("settings.audio.noiseSuppresion");
const QString keyGainControl = QStringLiteral("settings.audio.automaticGainControl");
const QString keyEchoCancellation = QStringLiteral("settings.audio.echoCancelation");
const QString keyAutoUpdate = QStringLiteral("settings.update.autoUpdate");
const QString keyHotkeys = QStringLiteral("settings.hotkeys.");
const QString keyProxyMode = QStringLiteral("settings.connection.proxyMode");
const QString keyProxyHost = QStringLiteral("settings.connection.proxyHost");
const QString keyProxyPort = QStringLiteral("settings.connection.proxyPort");
const QString keyProxyAuth = QStringLiteral("settings.connection.proxyAuthEnabled");
const QString keyProxyUser = QStringLiteral("settings.connection.proxyUsername");
const QString keyProxyPassword = QStringLiteral("settings.connection.proxyPassword");
const QString keyCustomProxy = QStringLiteral("settings.connection.proxy.custom");

} // namespace

Settings::Settings(DbStore *store, QObject *parent) : QObject(parent), store(store)
{
    qRegisterMetaType<talk::Device>("talk::Device");
    qRegisterMetaType<talk::ProxySettings>("talk::ProxySettings");
}

QVariant Settings::rawValue(const QString &key, const QVariant &defaultValue) const
{
    if (!store)
        return defaultValue;
    return store->value(tableName(), key, defaultValue);
}

bool Settings::readBool(const QString &key, bool defaultValue) const
{
    return rawValue(key, QVariant(defaultValue)).toBool();
}

QString Settings::readString(const QString &key, const QString &defaultValue) const
{
    return rawValue(key, QVariant(defaultValue)).toString();
}

uint Settings::readUInt(const QString &key, uint defaultValue) const
{
    return rawValue(key, QVariant(defaultValue)).toUInt();
}

int Settings::readInt(const QString &key, int defaultValue) const
{
    return rawValue(key, QVariant(defaultValue)).toInt();
}

void Settings::write(const QString &key, const QVariant &value)
{
    if (store)
        store->setValue(tableName(), key, value);
}

void Settings::remove(const QString &key)
{
    if (store)
        store->removeValue(tableName(), key);
}

bool Settings::writeBool(const QString &key, bool value, bool compareDefault)
{
    if (readBool(key, compareDefault) == value)
        return false;
    write(key, QVariant(value));
    return true;
}

bool Settings::writeString(const QString &key, const QString &value, const QString &compareDefault)
{
    if (readString(key, compareDefault) == value)
        return false;
    write(key, QVariant(value));
    return true;
}

bool Settings::writeUInt(const QString &key, uint value, uint compareDefault)
{
    if (readUInt(key, compareDefault) == value)
        return false;
    write(key, QVariant(value));
    return true;
}

bool Settings::autoStart(bool defaultValue) const
{
    const bool value = readBool(keyAutoStart, defaultValue);
    AutostartEntry::apply(value);
    return value;
}

void Settings::setAutoStart(bool value)
{
    const bool current = readBool(keyAutoStart, true);
    AutostartEntry::apply(current);
    if (current == value)
        return;
    write(keyAutoStart, QVariant(value));
    AutostartEntry::apply(value);
}

bool Settings::autoLogin(bool defaultValue) const
{
    return readBool(keyAutoLogin, defaultValue);
}
void Settings::setAutoLogin(bool value)
{
    writeBool(keyAutoLogin, value, false);
}
bool Settings::rememberLogin(bool defaultValue) const
{
    return readBool(keyRemember, defaultValue);
}
void Settings::setRememberLogin(bool value)
{
    writeBool(keyRemember, value, false);
}
QString Settings::userName(const QString &defaultValue) const
{
    return readString(keyUser, defaultValue);
}
void Settings::setUserName(const QString &value)
{
    writeString(keyUser, value, QString());
}
void Settings::removeUserName()
{
    remove(keyUser);
}
QString Settings::password(const QString &defaultValue) const
{
    return readString(keyPass, defaultValue);
}
void Settings::setPassword(const QString &value)
{
    writeString(keyPass, value, QString());
}
void Settings::removePassword()
{
    remove(keyPass);
}
bool Settings::showWelcome(bool defaultValue) const
{
    return readBool(keyWelcome, defaultValue);
}
void Settings::setShowWelcome(bool value)
{
    writeBool(keyWelcome, value, true);
}
bool Settings::skipPinSelection(bool defaultValue) const
{
    return readBool(keySkipPin, defaultValue);
}
void Settings::setSkipPinSelection(bool value)
{
    writeBool(keySkipPin, value, false);
}

bool Settings::minimizeToTrayOnClose(bool defaultValue) const
{
    return readBool(keyMinimizeToTray, defaultValue);
}

void Settings::setMinimizeToTrayOnClose(bool value)
{
    if (writeBool(keyMinimizeToTray, value, true))
        emit minimizeToTrayOnCloseChanged(value);
}

bool Settings::minimizeToTrayHint(bool defaultValue) const
{
    return readBool(keyMinimizeToTrayHint, defaultValue);
}
void Settings::setMinimizeToTrayHint(bool value)
{
    writeBool(keyMinimizeToTrayHint, value, true);
}

bool Settings::callStartDblClick(bool defaultValue) const
{
    return readBool(keyCallStartDblClick, defaultValue);
}

void Settings::setCallStartDblClick(bool value)
{
    if (writeBool(keyCallStartDblClick, value, true))
        emit callStartDblClickChanged(value);
}

bool Settings::autoAnswerCalls(bool defaultValue) const
{
    return readBool(keyAutoAnswer, defaultValue);
}

void Settings::setAutoAnswerCalls(bool value)
{
    if (writeBool(keyAutoAnswer, value, false))
        emit autoAnswerCallsChanged(value);
}

talk::Device Settings::readDevice(const QString &key, const talk::Device &defaultDevice) const
{
    const QString id = readString(key + QStringLiteral(".id"), noDeviceRow);
    const QString name = readString(key + QStringLiteral(".name"), noDeviceRow);
    if (id == noDeviceRow || name == noDeviceRow)
        return defaultDevice;
    return talk::Device(id, name);
}

bool Settings::writeDevice(const QString &key, const talk::Device &device)
{
    if (readDevice(key, talk::Device()) == device)
        return false;
    if (device.isNull()) {
        remove(key + QStringLiteral(".id"));
        remove(key + QStringLiteral(".name"));
    } else {
        write(key + QStringLiteral(".id"), device.id());
        write(key + QStringLiteral(".name"), device.name());
    }
    return true;
}

talk::Device Settings::audioInputDevice(const talk::Device &defaultDevice) const
{
    return readDevice(keyInputDevice, defaultDevice);
}

void Settings::setAudioInputDevice(const talk::Device &device)
{
    if (writeDevice(keyInputDevice, device))
        emit audioInputDeviceChanged(device);
}

talk::Device Settings::audioOutputDevice(const talk::Device &defaultDevice) const
{
    return readDevice(keyOutputDevice, defaultDevice);
}

void Settings::setAudioOutputDevice(const talk::Device &device)
{
    if (writeDevice(keyOutputDevice, device))
        emit audioOutputDeviceChanged(device);
}

uint Settings::audioInputVolume(uint defaultValue) const
{
    return readUInt(keyInputVolume, defaultValue);
}

void Settings::setAudioInputVolume(uint value)
{
    if (writeUInt(keyInputVolume, value, 25))
        emit audioInputVolumeChanged(value);
}

uint Settings::audioOutputVolume(uint defaultValue) const
{
    return readUInt(keyOutputVolume, defaultValue);
}

void Settings::setAudioOutputVolume(uint value)
{
    if (writeUInt(keyOutputVolume, value, 25))
        emit audioOutputVolumeChanged(value);
}

bool Settings::muteAllSounds(bool defaultValue) const
{
    return readBool(keyMuteAll, defaultValue);
}
void Settings::setMuteAllSounds(bool value)
{
    writeBool(keyMuteAll, value, false);
}
bool Settings::noiseSuppression(bool defaultValue) const
{
    return readBool(keyNoiseSuppression, defaultValue);
}
void Settings::setNoiseSuppression(bool value)
{
    writeBool(keyNoiseSuppression, value, true);
}
bool Settings::automaticGainControl(bool defaultValue) const
{
    return readBool(keyGainControl, defaultValue);
}
void Settings::setAutomaticGainControl(bool value)
{
    writeBool(keyGainControl, value, true);
}
bool Settings::echoCancellation(bool defaultValue) const
{
    return readBool(keyEchoCancellation, defaultValue);
}
void Settings::setEchoCancellation(bool value)
{
    writeBool(keyEchoCancellation, value, true);
}
bool Settings::autoUpdate(bool defaultValue) const
{
    return readBool(keyAutoUpdate, defaultValue);
}
void Settings::setAutoUpdate(bool value)
{
    writeBool(keyAutoUpdate, value, false);
}

#define TALKVANE_HOTKEY(getter, setter, name, fallback)                                                      \
    QString Settings::getter(const QString &defaultValue) const                                              \
    {                                                                                                        \
        return readString(keyHotkeys + QStringLiteral(name), defaultValue);                                  \
    }                                                                                                        \
    void Settings::setter(const QString &value)                                                              \
    {                                                                                                        \
        writeString(keyHotkeys + QStringLiteral(name), value, QStringLiteral(fallback));                     \
    }                                                                                                        \
    bool Settings::getter##Enabled(bool defaultValue) const                                                  \
    {                                                                                                        \
        return readBool(keyHotkeys + QStringLiteral(name "Enabled"), defaultValue);                          \
    }                                                                                                        \
    void Settings::setter##Enabled(bool value)                                                               \
    {                                                                                                        \
        writeBool(keyHotkeys + QStringLiteral(name "Enabled"), value, true);                                 \
    }

TALKVANE_HOTKEY(placeCallHotkey, setPlaceCallHotkey, "placeCall", "Enter")
TALKVANE_HOTKEY(cancelCallHotkey, setCancelCallHotkey, "cancelCall", "Esc")
TALKVANE_HOTKEY(increaseSpeakerVolHotkey, setIncreaseSpeakerVolHotkey, "increaseSpeakerVol", "Ctrl+Right")
TALKVANE_HOTKEY(decreaseSpeakerVolHotkey, setDecreaseSpeakerVolHotkey, "decreaseSpeakerVol", "Ctrl+Left")
TALKVANE_HOTKEY(increaseMicVolHotkey, setIncreaseMicVolHotkey, "increaseMicVol", "Alt+Right")
TALKVANE_HOTKEY(decreaseMicVolHotkey, setDecreaseMicVolHotkey, "decreaseMicVol", "Alt+Left")
TALKVANE_HOTKEY(showHideGroupsHotkey, setShowHideGroupsHotkey, "showHideGroups", "Ctrl+H")

#undef TALKVANE_HOTKEY

bool Settings::customProxy(bool defaultValue) const
{
    return readBool(keyCustomProxy, defaultValue);
}
void Settings::setCustomProxy(bool value)
{
    write(keyCustomProxy, QVariant(value));
}

talk::ProxySettings Settings::proxySettings() const
{
    const talk::ProxySettings defaults = proxyDefaults ? proxyDefaults() : talk::ProxySettings();
    talk::ProxySettings proxy;
    proxy.setType(int(readUInt(keyProxyMode, uint(defaults.type()))));
    proxy.setHost(readString(keyProxyHost, defaults.host()));
    proxy.setPort(readInt(keyProxyPort, defaults.port()));
    proxy.setAuth(readBool(keyProxyAuth, false));
    proxy.setUser(readString(keyProxyUser, defaults.user()));
    proxy.setPassword(readString(keyProxyPassword, defaults.password()));
    return proxy;
}

void Settings::setProxySettings(const talk::ProxySettings &proxy)
{
    const talk::ProxySettings stored = proxySettings();
    if (proxy == stored) {
        LOG_TRACE << "Proxy Settings already present... skipping..." << proxy.host() << proxy.port()
                  << proxy.type();
        LOG_TRACE << "Proxy Settings: " << stored.host() << stored.port() << stored.type();
        return;
    }
    // The password goes to the database only, never to the log.
    LOG_TRACE << "Storing proxy settings:" << proxy;
    write(keyProxyMode, QVariant(proxy.type()));
    write(keyProxyHost, QVariant(proxy.host()));
    write(keyProxyPort, QVariant(proxy.port()));
    write(keyProxyAuth, QVariant(proxy.auth()));
    write(keyProxyUser, QVariant(proxy.user()));
    write(keyProxyPassword, QVariant(proxy.password()));
}
