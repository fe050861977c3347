#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <type_traits>

#include "talk/device.h"
#include "talk/proxysettings.h"

class DbStore;

namespace talk {
class VeskTalk;
}

// The typed view of the configuration: every value is one row of the `settings` table under a
// dotted key. Getters take the default to use when the row is missing; setters write only when the
// value changes and then announce it where a listener needs to know.
//
// Start with the session is mirrored into an XDG autostart entry; the proxy settings are one record.
class Settings : public QObject
{
    Q_OBJECT
public:
    explicit Settings(DbStore *store, QObject *parent = nullptr);

    // The talk connection supplies the proxy values used where none are stored. It is a template so
    // that this header needs no talk connection header; the connection must outlive nothing: a
    // destroyed connection simply stops supplying defaults.
    template <class Connection> void setTalk(Connection *connection)
    {
        static_assert(std::is_base_of<QObject, Connection>::value, "the talk connection is a QObject");
        if (!connection) {
            proxyDefaults = nullptr;
            return;
        }
        QPointer<Connection> guard(connection);
        proxyDefaults = [guard]() { return guard ? guard->proxySettings() : talk::ProxySettings(); };
    }
    // The same without a connection object (tests, or a fixed default).
    void setProxyDefaults(std::function<talk::ProxySettings()> source) { proxyDefaults = std::move(source); }

    // "login.autostart": read, then bring the autostart entry in line with the value.
    bool autoStart(bool defaultValue = true) const;
    void setAutoStart(bool value);

    bool autoLogin(bool defaultValue = false) const;
    void setAutoLogin(bool value);
    bool rememberLogin(bool defaultValue = false) const;
    void setRememberLogin(bool value);
    QString userName(const QString &defaultValue = QString()) const;
    void setUserName(const QString &value);
    void removeUserName();
    QString password(const QString &defaultValue = QString()) const;
    void setPassword(const QString &value);
    void removePassword();
    bool showWelcome(bool defaultValue = true) const;
    void setShowWelcome(bool value);
    bool skipPinSelection(bool defaultValue = false) const;
    void setSkipPinSelection(bool value);

    bool minimizeToTrayOnClose(bool defaultValue = true) const;
    void setMinimizeToTrayOnClose(bool value);
    bool minimizeToTrayHint(bool defaultValue = true) const;
    void setMinimizeToTrayHint(bool value);

    bool callStartDblClick(bool defaultValue = true) const;
    void setCallStartDblClick(bool value);
    bool autoAnswerCalls(bool defaultValue = false) const;
    void setAutoAnswerCalls(bool value);

    talk::Device audioInputDevice(const talk::Device &defaultDevice) const;
    talk::Device audioInputDevice() const { return audioInputDevice(talk::Device()); }
    void setAudioInputDevice(const talk::Device &device);
    talk::Device audioOutputDevice(const talk::Device &defaultDevice) const;
    talk::Device audioOutputDevice() const { return audioOutputDevice(talk::Device()); }
    void setAudioOutputDevice(const talk::Device &device);
    uint audioInputVolume(uint defaultValue = 25) const;
    void setAudioInputVolume(uint value);
    uint audioOutputVolume(uint defaultValue = 25) const;
    void setAudioOutputVolume(uint value);
    bool muteAllSounds(bool defaultValue = false) const;
    void setMuteAllSounds(bool value);
    bool noiseSuppression(bool defaultValue = true) const;
    void setNoiseSuppression(bool value);
    bool automaticGainControl(bool defaultValue = true) const;
    void setAutomaticGainControl(bool value);
    bool echoCancellation(bool defaultValue = true) const;
    void setEchoCancellation(bool value);

    bool autoUpdate(bool defaultValue = false) const;
    void setAutoUpdate(bool value);

    QString placeCallHotkey(const QString &defaultValue = QStringLiteral("Enter")) const;
    void setPlaceCallHotkey(const QString &value);
    QString cancelCallHotkey(const QString &defaultValue = QStringLiteral("Esc")) const;
    void setCancelCallHotkey(const QString &value);
    QString increaseSpeakerVolHotkey(const QString &defaultValue = QStringLiteral("Ctrl+Right")) const;
    void setIncreaseSpeakerVolHotkey(const QString &value);
    QString decreaseSpeakerVolHotkey(const QString &defaultValue = QStringLiteral("Ctrl+Left")) const;
    void setDecreaseSpeakerVolHotkey(const QString &value);
    QString increaseMicVolHotkey(const QString &defaultValue = QStringLiteral("Alt+Right")) const;
    void setIncreaseMicVolHotkey(const QString &value);
    QString decreaseMicVolHotkey(const QString &defaultValue = QStringLiteral("Alt+Left")) const;
    void setDecreaseMicVolHotkey(const QString &value);
    QString showHideGroupsHotkey(const QString &defaultValue = QStringLiteral("Ctrl+H")) const;
    void setShowHideGroupsHotkey(const QString &value);

    bool placeCallHotkeyEnabled(bool defaultValue = true) const;
    void setPlaceCallHotkeyEnabled(bool value);
    bool cancelCallHotkeyEnabled(bool defaultValue = true) const;
    void setCancelCallHotkeyEnabled(bool value);
    bool increaseSpeakerVolHotkeyEnabled(bool defaultValue = true) const;
    void setIncreaseSpeakerVolHotkeyEnabled(bool value);
    bool decreaseSpeakerVolHotkeyEnabled(bool defaultValue = true) const;
    void setDecreaseSpeakerVolHotkeyEnabled(bool value);
    bool increaseMicVolHotkeyEnabled(bool defaultValue = true) const;
    void setIncreaseMicVolHotkeyEnabled(bool value);
    bool decreaseMicVolHotkeyEnabled(bool defaultValue = true) const;
    void setDecreaseMicVolHotkeyEnabled(bool value);
    bool showHideGroupsHotkeyEnabled(bool defaultValue = true) const;
    void setShowHideGroupsHotkeyEnabled(bool value);

    // "settings.connection.proxy.custom": written every time, no comparison.
    bool customProxy(bool defaultValue = false) const;
    void setCustomProxy(bool value);
    // The stored proxy; fields without a row come from the talk connection's current proxy.
    talk::ProxySettings proxySettings() const;
    void setProxySettings(const talk::ProxySettings &proxy);

    // Generic access for tests and tools.
    QVariant rawValue(const QString &key, const QVariant &defaultValue = QVariant()) const;

    static QString tableName() { return QStringLiteral("settings"); }

signals:
    void minimizeToTrayOnCloseChanged(bool value);
    void callStartDblClickChanged(bool value);
    void autoAnswerCallsChanged(bool value);
    void audioInputDeviceChanged(talk::Device device);
    void audioInputVolumeChanged(uint volume);
    void audioOutputDeviceChanged(talk::Device device);
    void audioOutputVolumeChanged(uint volume);
    // Declared for the alert and mute options; no accessor emits them yet.
    void muteAllSoundsChanged(bool value);
    void alertNotificationChanged(bool value);
    void alertSoundChanged(bool value);
    void alertSoundPathChanged(QString path);

private:
    bool readBool(const QString &key, bool defaultValue) const;
    QString readString(const QString &key, const QString &defaultValue) const;
    uint readUInt(const QString &key, uint defaultValue) const;
    int readInt(const QString &key, int defaultValue) const;
    bool writeBool(const QString &key, bool value, bool compareDefault);
    bool writeString(const QString &key, const QString &value, const QString &compareDefault);
    bool writeUInt(const QString &key, uint value, uint compareDefault);
    void write(const QString &key, const QVariant &value);
    void remove(const QString &key);

    talk::Device readDevice(const QString &key, const talk::Device &defaultDevice) const;
    bool writeDevice(const QString &key, const talk::Device &device);

    DbStore *store;
    std::function<talk::ProxySettings()> proxyDefaults;
};
