// The built-in synthesizer, rendered offline: it sounds, and takes the reset messages.
#include "platform/SynthAudio.h"
#include "platform/SynthEngine.h"
#include "platform/DeviceList.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double Rms(TSynthEngine& synth, int frames)
{
    std::vector<float> left(frames), right(frames);
    synth.Render(left.data(), right.data(), frames);
    double sum = 0;
    for (int i = 0; i < frames; ++i)
        sum += double(left[i]) * left[i] + double(right[i]) * right[i];
    return std::sqrt(sum / (2.0 * frames));
}

class SynthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SoundFont = TSynthEngine::FindSoundFont();
        if (SoundFont.empty())
            GTEST_SKIP() << "no General MIDI sound font installed";
        ASSERT_TRUE(Synth.Open(SoundFont).Ok());
    }
    std::string SoundFont;
    TSynthEngine Synth{false};
};

TEST_F(SynthTest, NoteOnSoundsAndNoteOffFades)
{
    EXPECT_LT(Rms(Synth, 4410), 1e-4);
    const uint8_t on[] = {0x90, 0x3C, 0x64};
    Synth.ShortMessage(on, 3);
    EXPECT_GT(Rms(Synth, 4410), 0.001);
    const uint8_t off[] = {0x80, 0x3C, 0x28};
    Synth.ShortMessage(off, 3);
    Rms(Synth, 44100 * 3);
    EXPECT_LT(Rms(Synth, 4410), 1e-3);
}

TEST_F(SynthTest, TakesGmSystemOnAndGsResetAsBlocks)
{
    const uint8_t gmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    Synth.Block(gmOn, sizeof gmOn);
    EXPECT_TRUE(Synth.LastSysexHandled());
    const uint8_t gsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    Synth.Block(gsReset, 5);  // the raw editor may cut a message into pieces
    Synth.Block(gsReset + 5, sizeof gsReset - 5);
    EXPECT_TRUE(Synth.LastSysexHandled());
}

TEST_F(SynthTest, BlockOfShortMessagesPlaysThemAll)
{
    // The first note has velocity 0 (a note-off): only the second, in running status, sounds.
    const uint8_t block[] = {0xC0, 0x00, 0x90, 0x3C, 0x00, 0x40, 0x64};
    Synth.Block(block, sizeof block);
    EXPECT_GT(Rms(Synth, 4410), 0.001);
}

TEST(SynthDevice, IsOutputDeviceZeroAndSaysWhyItCannotOpen)
{
    if (TSynthEngine::FindSoundFont().empty())
        GTEST_SKIP() << "no General MIDI sound font installed";
    TDeviceList devices(TMidiApi::None);
    EXPECT_EQ(devices.ReadOutputNames(), std::vector<std::string>{"Kelvane Synthesizer"});
    TMidiResult result;
    const auto connection = devices.OpenOutput(-1, result);
    if (connection) {
        EXPECT_TRUE(result.Ok());  // this machine has audio
        return;
    }
    EXPECT_EQ(result.Kind(), TMidiFailure::NoAudioOutput);
    const std::string& text = result.Text();
    EXPECT_NE(text.find("audio"), std::string::npos) << text;
    if (!std::getenv("KELVANE_AUDIO_DRIVER")) {  // each output tried is named, ALSA last
        EXPECT_NE(text.find("tried "), std::string::npos) << text;
        EXPECT_NE(text.find("alsa"), std::string::npos) << text;
    }
}

// The audio output a user's desktop has, unless the user names one.
struct TDriverCase {
    const char* Named;
    bool JackRunning;
    std::vector<std::string> Expected;
};

class AudioDriverChoice : public ::testing::TestWithParam<TDriverCase> {};

TEST_P(AudioDriverChoice, FollowsTheDesktop)
{
    EXPECT_EQ(AudioDriversToTry(GetParam().Named, GetParam().JackRunning), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioDriverChoice,
    ::testing::Values(TDriverCase{"", true, {"jack", "pulseaudio", "alsa"}},
                      TDriverCase{"", false, {"pulseaudio", "alsa"}},  // PipeWire serves PulseAudio
                      TDriverCase{"alsa", true, {"alsa"}},               // the user's choice alone
                      TDriverCase{"jack", false, {"jack"}},
                      TDriverCase{"sdl2", false, {"sdl2"}}));

TEST(DeviceNames, RepeatedNamesAreNumbered)
{
    EXPECT_EQ(MakeNamesUnique({"A", "B", "A", "A"}), (std::vector<std::string>{"A", "B", "A #2", "A #3"}));
}

} // namespace

namespace {

TEST(SynthDevice, WithoutASoundFontTheSynthesizerIsNotListed)
{
    setenv("KELVANE_SOUNDFONT", "/nonexistent/none.sf2", 1);
    TDeviceList devices(TMidiApi::None);
    unsetenv("KELVANE_SOUNDFONT");
    EXPECT_TRUE(devices.ReadOutputNames().empty());
    TMidiResult result;
    EXPECT_EQ(devices.OpenOutput(-1, result), nullptr);  // no mapper target either
    EXPECT_EQ(result.Kind(), TMidiFailure::NoServer);
}

TEST(SystemPorts, MissingServicesMeanNoPortsNotACrash)
{
    // A bare machine, whatever this one has: an ALSA configuration that defines no sequencer,
    // a JACK server name nobody runs, no sound font. Each backend is simply absent.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString emptyConfig = folder.filePath("asound.conf");
    QFile config(emptyConfig);
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.close();
    setenv("ALSA_CONFIG_PATH", emptyConfig.toLocal8Bit().constData(), 1);
    setenv("JACK_DEFAULT_SERVER", ("kelvane-test-absent-" + std::to_string(getpid())).c_str(), 1);
    setenv("KELVANE_SOUNDFONT", "/nonexistent/none.sf2", 1);

    EXPECT_EQ(MakeAlsaBackend(), nullptr);
    EXPECT_EQ(MakeJackBackend(), nullptr);
    {
        TDeviceList devices(TMidiApi::Automatic);
        EXPECT_TRUE(devices.ReadOutputNames().empty());
        EXPECT_TRUE(devices.ReadInputNames().empty());
    }
    unsetenv("ALSA_CONFIG_PATH");
    unsetenv("JACK_DEFAULT_SERVER");
    unsetenv("KELVANE_SOUNDFONT");
}

} // namespace
