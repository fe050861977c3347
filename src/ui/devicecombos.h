#pragma once

#include <QList>

#include "talk/device.h"

class QComboBox;

namespace talk {
class MediaEngine;
}

// Fills the microphone and speaker lists of the settings and welcome dialogs and selects the
// devices in use, with the device carried as each entry's data.
class DeviceCombos
{
public:
    enum Kind {
        Input,
        Output,
    };

    // Lists the engine's devices of that kind by display name; leaves the combo empty when the
    // engine is missing or not ready. Emits no change signals.
    static bool fill(QComboBox *combo, const talk::MediaEngine *media, Kind kind);
    static void fill(QComboBox *combo, const QList<talk::Device> &devices);
    // Selects wanted, else fallback, else the first entry, without change signals. False when the
    // list is empty.
    static bool select(QComboBox *combo, const talk::Device &wanted, const talk::Device &fallback, Kind kind);
    static int indexOf(const QComboBox *combo, const talk::Device &device);
    static talk::Device deviceAt(const QComboBox *combo, int index);
    static talk::Device current(const QComboBox *combo);
    // The device the engine uses now for that kind; null without an engine.
    static talk::Device inUse(const talk::MediaEngine *media, Kind kind);
    // Hands a device of that kind to the engine.
    static bool use(talk::MediaEngine *media, Kind kind, const talk::Device &device);

    // Selects the device in use, or the stored one while the engine names none (it is on the
    // system default).
    static bool selectInUse(
        QComboBox *combo, const talk::MediaEngine *media, Kind kind, const talk::Device &stored);
    // Fills the combo and selects the device in use, or the stored one while the engine names none
    // (it is on the system default).
    static void load(QComboBox *combo, const talk::MediaEngine *media, Kind kind, const talk::Device &stored);
    // After the engine's device lists changed: reloads the combo and keeps the user's choice while
    // it still exists, handing it to the engine again (the engine has gone back to the stored
    // devices meanwhile).
    static void refresh(QComboBox *combo, talk::MediaEngine *media, Kind kind, const talk::Device &stored);
};
