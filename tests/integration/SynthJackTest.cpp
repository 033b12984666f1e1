// The built-in synthesizer on a machine where a JACK server runs, as a new user meets it: it
// chooses JACK by itself, its outputs go to the playback ports, and a JACK client listening to
// them hears the note and then silence.
#include "JackAudioMeter.h"
#include "JackTest.h"
#include "MidiOutput.h"
#include "platform/SynthEngine.h"
#include "platform/DeviceList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

class SynthJackTest : public TJackTest {
protected:
    void SetUp() override
    {
        if (TSynthEngine::FindSoundFont().empty())
            GTEST_SKIP() << "no General MIDI sound font installed";
        TJackTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // What the user has: no driver named, so the synthesizer finds the server itself.
        if (const char* named = std::getenv("KELVANE_AUDIO_DRIVER"))
            NamedDriver = named;
        unsetenv("KELVANE_AUDIO_DRIVER");
        SetDeviceList(std::make_unique<TDeviceList>(TMidiApi::None));
    }
    void TearDown() override
    {
        TJackTest::TearDown();
        if (!NamedDriver.empty())
            setenv("KELVANE_AUDIO_DRIVER", NamedDriver.c_str(), 1);
    }
    std::string NamedDriver;
};

TEST_F(SynthJackTest, NoteSoundsOnThePlaybackPortsAndFallsSilentAfterItsRelease)
{
    TJackAudioMeter meter;
    ASSERT_TRUE(meter.IsOpen()) << meter.Error();
    TMidiOutput port;
    port.SetProductName("Kelvane Synthesizer");
    ASSERT_TRUE(port.Open()) << port.LastFailure().Text();

    const std::vector<std::string> outputs = meter.Ports("^Kelvane Synthesizer", JackPortIsOutput);
    ASSERT_EQ(outputs.size(), 2u) << "the synthesizer is no JACK client of this server";
    const std::vector<std::string> inputs = meter.InputPortNames();
    for (size_t i = 0; i < outputs.size(); ++i)
        ASSERT_TRUE(meter.Connect(outputs[i], inputs[i]));
    EXPECT_TRUE(meter.WaitForSilence(1e-4f, 10, 5000)) << "loudest " << meter.LoudestSoFar();

    port.PutShort(0x90, 0x3C, 0x64);
    EXPECT_TRUE(meter.WaitForSound(0.01f, 5000)) << "loudest " << meter.LoudestSoFar();
    // Connected as FluidSynth's autoconnect connects them: left and right to the first two
    // physical playback ports, so the user hears them.
    const std::vector<std::string> playback = meter.Ports("^system:playback_", JackPortIsInput | JackPortIsPhysical);
    ASSERT_GE(playback.size(), 2u);
    for (size_t i = 0; i < outputs.size(); ++i) {
        const std::vector<std::string> connections = meter.ConnectionsOf(outputs[i]);
        EXPECT_NE(std::find(connections.begin(), connections.end(), playback[i]), connections.end())
            << outputs[i] << " is not connected to " << playback[i];
    }

    port.PutShort(0x80, 0x3C, 0x28);
    // The release and the reverb's tail take a second or two; 20 cycles are about 0.1 s.
    EXPECT_TRUE(meter.WaitForSilence(1e-4f, 20, 15000)) << "loudest " << meter.LoudestSoFar();
    EXPECT_TRUE(port.Close());
}

} // namespace
