#include "ui/devicetrial.h"

#include <QComboBox>

#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "util/log.h"

DeviceTrial::DeviceTrial(talk::MediaEngine *media, Settings *settings) : media(media), settings(settings)
{
}

void DeviceTrial::open(QComboBox *microphones, QComboBox *speakers)
{
    this->microphones = microphones;
    this->speakers = speakers;
    initialInput = DeviceCombos::inUse(media, DeviceCombos::Input);
    initialOutput = DeviceCombos::inUse(media, DeviceCombos::Output);
    DeviceCombos::fill(microphones, media, DeviceCombos::Input);
    DeviceCombos::fill(speakers, media, DeviceCombos::Output);
    DeviceCombos::selectInUse(microphones, media, DeviceCombos::Input, stored(DeviceCombos::Input));
    DeviceCombos::selectInUse(speakers, media, DeviceCombos::Output, stored(DeviceCombos::Output));
}

QComboBox *DeviceTrial::combo(DeviceCombos::Kind kind) const
{
    return kind == DeviceCombos::Input ? microphones : speakers;
}

talk::Device DeviceTrial::stored(DeviceCombos::Kind kind) const
{
    if (!settings)
        return talk::Device();
    return kind == DeviceCombos::Input ? settings->audioInputDevice() : settings->audioOutputDevice();
}

bool DeviceTrial::choose(DeviceCombos::Kind kind, int index)
{
    const talk::Device device = DeviceCombos::deviceAt(combo(kind), index);
    if (device.isNull())
        return false;
    touched = true;
    DeviceCombos::use(media, kind, device);
    return true;
}

void DeviceTrial::refresh()
{
    LOG_TRACE << "Device lists changed";
    DeviceCombos::refresh(microphones, media, DeviceCombos::Input, stored(DeviceCombos::Input));
    DeviceCombos::refresh(speakers, media, DeviceCombos::Output, stored(DeviceCombos::Output));
}

void DeviceTrial::save()
{
    if (settings) {
        const talk::Device input = DeviceCombos::current(microphones);
        const talk::Device output = DeviceCombos::current(speakers);
        if (!input.isNull())
            settings->setAudioInputDevice(input);
        if (!output.isNull())
            settings->setAudioOutputDevice(output);
    }
    touched = false;
}

void DeviceTrial::restore()
{
    if (!media || !touched)
        return;
    if (DeviceCombos::inUse(media, DeviceCombos::Input) != initialInput)
        DeviceCombos::use(media, DeviceCombos::Input, initialInput);
    if (DeviceCombos::inUse(media, DeviceCombos::Output) != initialOutput)
        DeviceCombos::use(media, DeviceCombos::Output, initialOutput);
    touched = false;
    LOG_TRACE << "Devices put back:" << initialInput << initialOutput;
}
