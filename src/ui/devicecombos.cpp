#include "ui/devicecombos.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "talk/mediaengine.h"
#include "util/log.h"

bool DeviceCombos::fill(QComboBox *combo, const talk::MediaEngine *media, Kind kind)
{
    if (!media || !media->isInitialized()) {
        LOG_TRACE << "MediaEngine not initialized";
        fill(combo, QList<talk::Device>());
        return false;
    }
    fill(combo, kind == Input ? media->microphoneDevices() : media->speakerDevices());
    return true;
}

void DeviceCombos::fill(QComboBox *combo, const QList<talk::Device> &devices)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const talk::Device &device : devices)
        combo->addItem(device.dname(), QVariant::fromValue(device));
}

bool DeviceCombos::select(
    QComboBox *combo, const talk::Device &wanted, const talk::Device &fallback, Kind kind)
{
    int index = indexOf(combo, wanted);
    if (index < 0) {
        if (kind == Input)
            LOG_TRACE << "Input device not found:" << wanted;
        else
            LOG_TRACE << "Output device not found:" << wanted;
        index = indexOf(combo, fallback);
    }
    if (index < 0 && combo->count() > 0)
        index = 0;
    if (index < 0) {
        if (kind == Input)
            LOG_WARNING << "Unable to set any audio input device:" << wanted;
        else
            LOG_WARNING << "Unable to set any audio output device:" << wanted;
        return false;
    }
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(index);
    return true;
}

int DeviceCombos::indexOf(const QComboBox *combo, const talk::Device &device)
{
    if (device.isNull())
        return -1;
    for (int i = 0; i < combo->count(); ++i) {
        if (deviceAt(combo, i) == device)
            return i;
    }
    return -1;
}

talk::Device DeviceCombos::deviceAt(const QComboBox *combo, int index)
{
    if (index < 0 || index >= combo->count())
        return talk::Device();
    return combo->itemData(index).value<talk::Device>();
}

talk::Device DeviceCombos::current(const QComboBox *combo)
{
    return deviceAt(combo, combo->currentIndex());
}

talk::Device DeviceCombos::inUse(const talk::MediaEngine *media, Kind kind)
{
    if (!media || !media->isInitialized())
        return talk::Device();
    return kind == Input ? media->currentMicrophoneDevice() : media->currentSpeakerDevice();
}

bool DeviceCombos::use(talk::MediaEngine *media, Kind kind, const talk::Device &device)
{
    if (!media)
        return false;
    const bool ok = kind == Input ? media->setMicrophoneDevice(device) : media->setSpeakerDevice(device);
    if (!ok)
        LOG_WARNING << (kind == Input ? "Unable to set the audio input device:"
                                      : "Unable to set the audio output device:")
                    << device;
    return ok;
}

void DeviceCombos::load(
    QComboBox *combo, const talk::MediaEngine *media, Kind kind, const talk::Device &stored)
{
    fill(combo, media, kind);
    selectInUse(combo, media, kind, stored);
}

bool DeviceCombos::selectInUse(
    QComboBox *combo, const talk::MediaEngine *media, Kind kind, const talk::Device &stored)
{
    const talk::Device device = inUse(media, kind);
    return select(combo, device.isNull() ? stored : device, stored, kind);
}

void DeviceCombos::refresh(QComboBox *combo, talk::MediaEngine *media, Kind kind, const talk::Device &stored)
{
    const talk::Device chosen = current(combo);
    load(combo, media, kind, stored);
    if (indexOf(combo, chosen) < 0)
        return;
    select(combo, chosen, talk::Device(), kind);
    if (inUse(media, kind) != chosen)
        use(media, kind, chosen);
}
