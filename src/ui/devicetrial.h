#pragma once

#include <QPointer>

#include "talk/device.h"
#include "ui/devicecombos.h"

class QComboBox;
class Settings;
namespace talk {
class MediaEngine;
}

// The microphone and speaker lists of a dialog where devices are tried before they are kept: a
// choice goes to the engine at once, saving stores it, and leaving without saving puts back the
// devices that were in use when the lists were opened.
class DeviceTrial
{
public:
    DeviceTrial(talk::MediaEngine *media, Settings *settings);

    // Notes the devices in use, fills both lists and selects those devices (or the stored ones
    // while the engine names none).
    void open(QComboBox *microphones, QComboBox *speakers);
    // Hands the device at index of that kind's list to the engine; false when there is none.
    bool choose(DeviceCombos::Kind kind, int index);
    // After the engine's device lists changed: reloads both lists, keeping the user's choices.
    void refresh();
    // Stores the chosen devices (an empty list stores nothing) and keeps them in use.
    void save();
    // Puts back the devices in use at open() if any other was tried.
    void restore();

private:
    QComboBox *combo(DeviceCombos::Kind kind) const;
    talk::Device stored(DeviceCombos::Kind kind) const;

    QPointer<talk::MediaEngine> media;
    QPointer<Settings> settings;
    QComboBox *microphones = nullptr;
    QComboBox *speakers = nullptr;
    talk::Device initialInput;
    talk::Device initialOutput;
    bool touched = false;
};
