#include "ui/hotkeys.h"

#include <QShortcut>

#include "settings/settings.h"
#include "util/log.h"

namespace {

QShortcut *makeShortcut(QWidget *parent, const char *name)
{
    auto *shortcut = new QShortcut(parent);
    shortcut->setObjectName(QLatin1String(name));
    shortcut->setContext(Qt::ApplicationShortcut);
    return shortcut;
}

bool apply(QShortcut *shortcut, bool enabled, const QString &key)
{
    shortcut->setKey(QKeySequence(key, QKeySequence::PortableText));
    return enabled && !key.isEmpty();
}

} // namespace

HotKeys::HotKeys(QWidget *parent)
    : QObject(parent)
    , placeCall(makeShortcut(parent, "placeCallShortcut"))
    , placeCallMirror(makeShortcut(parent, "placeCallMirrorShortcut"))
    , cancelCall(makeShortcut(parent, "cancelCallShortcut"))
    , increaseSpeakerVolume(makeShortcut(parent, "increaseSpeakerVolumeShortcut"))
    , decreaseSpeakerVolume(makeShortcut(parent, "decreaseSpeakerVolumeShortcut"))
    , increaseMicVolume(makeShortcut(parent, "increaseMicVolumeShortcut"))
    , decreaseMicVolume(makeShortcut(parent, "decreaseMicVolumeShortcut"))
    , showHideGroups(makeShortcut(parent, "showHideGroupsShortcut"))
{ }

QString HotKeys::mirrorKey(const QString &placeCallKey)
{
    const QKeySequence key(placeCallKey, QKeySequence::PortableText);
    if (key == QKeySequence(Qt::Key_Enter))
        return QStringLiteral("Return");
    if (key == QKeySequence(Qt::Key_Return))
        return QStringLiteral("Enter");
    return QString();
}

void HotKeys::configure(const Settings *settings)
{
    LOG_TRACE << "Configure hotkeys";
    if (!settings)
        return;
    const QString placeKey = settings->placeCallHotkey();
    const bool placeEnabled = settings->placeCallHotkeyEnabled();
    configured[0] = apply(placeCall, placeEnabled, placeKey);
    const QString mirror = mirrorKey(placeKey);
    configured[1] = apply(placeCallMirror, placeEnabled && !mirror.isEmpty(), mirror);
    configured[2] = apply(cancelCall, settings->cancelCallHotkeyEnabled(), settings->cancelCallHotkey());
    configured[3] = apply(increaseSpeakerVolume, settings->increaseSpeakerVolHotkeyEnabled(),
        settings->increaseSpeakerVolHotkey());
    configured[4] = apply(decreaseSpeakerVolume, settings->decreaseSpeakerVolHotkeyEnabled(),
        settings->decreaseSpeakerVolHotkey());
    configured[5]
        = apply(increaseMicVolume, settings->increaseMicVolHotkeyEnabled(), settings->increaseMicVolHotkey());
    configured[6]
        = apply(decreaseMicVolume, settings->decreaseMicVolHotkeyEnabled(), settings->decreaseMicVolHotkey());
    configured[7]
        = apply(showHideGroups, settings->showHideGroupsHotkeyEnabled(), settings->showHideGroupsHotkey());
    refresh();
}

void HotKeys::activate(bool callKeys, bool volumeKeys, bool groupsKey)
{
    callKeysActive = callKeys;
    volumeKeysActive = volumeKeys;
    groupsKeyActive = groupsKey;
    refresh();
}

void HotKeys::refresh()
{
    placeCall->setEnabled(configured[0] && callKeysActive);
    placeCallMirror->setEnabled(configured[1] && callKeysActive);
    cancelCall->setEnabled(configured[2] && callKeysActive);
    increaseSpeakerVolume->setEnabled(configured[3] && volumeKeysActive);
    decreaseSpeakerVolume->setEnabled(configured[4] && volumeKeysActive);
    increaseMicVolume->setEnabled(configured[5] && volumeKeysActive);
    decreaseMicVolume->setEnabled(configured[6] && volumeKeysActive);
    showHideGroups->setEnabled(configured[7] && groupsKeyActive);
}
