#pragma once

#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "fakeengine.h"
#include "scratchsettings.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"

// What the dialog tests open for each test function: a settings store in a fresh folder and a talk
// connection over the fake engine library. A failed check ends only the helper, so the caller stops
// on QTest::currentTestFailed().
class FakeTalkFixture : protected ScratchSettings
{
protected:
    void openStoreAndTalk()
    {
        openSettings();
        if (QTest::currentTestFailed())
            return;
        talk = std::make_unique<talk::VeskTalk>(QStringLiteral(FAKE_ENGINE_LIBRARY));
        QVERIFY(talk->hasEngine());
    }

    // The fake engine's devices and the ones it uses; the media engine then reads the settings.
    void setDevices(std::vector<fake::Device> microphones, std::vector<fake::Device> speakers,
        const std::string &microphone, const std::string &speaker)
    {
        fake::MediaEngine &engine = fake::session()->media;
        engine.microphones = std::move(microphones);
        engine.speakers = std::move(speakers);
        engine.currentMicrophone = microphone;
        engine.currentSpeaker = speaker;
        QVERIFY(media());
        media()->setSettings(settings.get());
    }

    void closeStoreAndTalk()
    {
        talk.reset();
        closeSettings();
    }

    talk::MediaEngine *media() { return talk->mediaEngine(); }

    std::unique_ptr<talk::VeskTalk> talk;
};
