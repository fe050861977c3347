#pragma once

#include <QObject>

class QShortcut;
class QWidget;
class Settings;

// The application-wide hot keys, configured from the settings.
class HotKeys : public QObject
{
    Q_OBJECT
public:
    // parent: the widget the shortcuts belong to; they act application-wide.
    explicit HotKeys(QWidget *parent);

    void configure(const Settings *settings);
    // Which groups of keys act on the current page; keys switched off in the settings stay off.
    void activate(bool callKeys, bool volumeKeys, bool groupsKey);

    // The key that doubles the place-call key: "Return" for "Enter" and back; empty for any other.
    static QString mirrorKey(const QString &placeCallKey);

    QShortcut *placeCall;
    QShortcut *placeCallMirror;
    QShortcut *cancelCall;
    QShortcut *increaseSpeakerVolume;
    QShortcut *decreaseSpeakerVolume;
    QShortcut *increaseMicVolume;
    QShortcut *decreaseMicVolume;
    QShortcut *showHideGroups;

private:
    void refresh();

    bool callKeysActive = false;
    bool volumeKeysActive = false;
    bool groupsKeyActive = false;
    // Enabled in the settings, per shortcut, in declaration order.
    bool configured[8] = {};
};
