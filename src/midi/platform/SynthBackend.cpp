#include "SynthEngine.h"
#include "LibraryLog.h"
#include "PortBackend.h"
#include "SynthAudio.h"

#include <fluidsynth.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {

TMidiResult Failure(const std::string& what, TMidiFailure kind = TMidiFailure::Other)
{
    const std::string detail = TakeFluidError();
    return TMidiResult::Failure(detail.empty() ? what : what + " (" + detail + ")", kind);
}

} // namespace

std::string TSynthEngine::FindSoundFont()
{
    std::error_code error;
    if (const char* path = std::getenv("KELVANE_SOUNDFONT"))
        return std::filesystem::is_regular_file(path, error) ? std::string(path) : std::string();
    for (const char* path : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        if (std::filesystem::is_regular_file(path, error))
            return path;
    return {};
}

TSynthEngine::TSynthEngine(bool withAudio) : WithAudio(withAudio)
{
    RouteLibraryLogs();
}

TSynthEngine::~TSynthEngine()
{
    if (Driver)
        delete_fluid_audio_driver(Driver);
    if (Synth)
        delete_fluid_synth(Synth);
    if (Settings)
        delete_fluid_settings(Settings);
}

TMidiResult TSynthEngine::Open(const std::string& soundFont)
{
    Settings = new_fluid_settings();
    if (!Settings)
        return Failure("FluidSynth could not be set up");
    fluid_settings_setstr(Settings, "synth.midi-bank-select", "gs");
    fluid_settings_setint(Settings, "synth.device-id", RolandDeviceId);
    Synth = new_fluid_synth(Settings);
    if (!Synth)
        return Failure("FluidSynth could not make a synthesizer");
    if (fluid_synth_sfload(Synth, soundFont.c_str(), 1) == FLUID_FAILED)
        return Failure("The sound font " + soundFont + " could not be loaded");
    if (WithAudio) {
        std::string tried;
        Driver = OpenAudioDriver(Settings, Synth, tried);
        if (!Driver)
            return Failure("The built-in synthesizer found no audio output (tried " + tried + ")",
                           TMidiFailure::NoAudioOutput);
    }
    return {};
}

void TSynthEngine::ShortMessage(const uint8_t* bytes, size_t length)
{
    if (length == 0)
        return;
    const uint8_t status = bytes[0];
    const int channel = status & 0x0F;
    const int data1 = length > 1 ? bytes[1] & 0x7F : 0;
    const int data2 = length > 2 ? bytes[2] & 0x7F : 0;
    switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(Synth, channel, data1); break;
    case 0x90: fluid_synth_noteon(Synth, channel, data1, data2); break;
    case 0xA0: fluid_synth_key_pressure(Synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(Synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(Synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(Synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(Synth, channel, data1 | (data2 << 7)); break;
    default:
        if (status == 0xFF)
            fluid_synth_system_reset(Synth);
        break;
    }
}

void TSynthEngine::Block(const uint8_t* bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = bytes[i];
        if (byte >= 0xF8) {  // real time: may stand anywhere, even inside an exclusive
            ShortMessage(&byte, 1);
            continue;
        }
        if (byte == 0xF0) {
            InSysex = true;
            SysexBuffer.clear();
            Partial.clear();
            continue;
        }
        if (InSysex) {
            if (byte == 0xF7) {
                InSysex = false;
                Sysex();
            } else if (byte < 0x80) {
                SysexBuffer.push_back(byte);
            } else {
                InSysex = false;  // a status byte ends an unterminated exclusive
                --i;
            }
            continue;
        }
        if (byte >= 0x80) {
            Partial.assign(1, byte);
            RunningStatus = byte < 0xF0 ? byte : 0;
        } else if (Partial.empty()) {
            if (!RunningStatus)
                continue;  // a stray data byte
            Partial = {RunningStatus, byte};
        } else {
            Partial.push_back(byte);
        }
        if (Partial.size() >= ShortMessageLength(Partial[0])) {
            ShortMessage(Partial.data(), Partial.size());
            Partial.clear();
        }
    }
}

void TSynthEngine::Sysex()
{
    // The built-in synthesizer is the only device behind its port: it answers to any Roland
    // device ID, as FluidSynth answers to its own.
    if (SysexBuffer.size() >= 4 && SysexBuffer[0] == 0x41 && SysexBuffer[2] == 0x42)
        SysexBuffer[1] = RolandDeviceId;
    int handled = 0;
    const int result = fluid_synth_sysex(Synth, reinterpret_cast<const char*>(SysexBuffer.data()),
                                         int(SysexBuffer.size()), nullptr, nullptr, &handled, 0);
    SysexHandled = result == FLUID_OK && handled;
    SysexBuffer.clear();
}

void TSynthEngine::Render(float* left, float* right, int frames)
{
    fluid_synth_write_float(Synth, frames, left, 0, 1, right, 0, 1);
}

namespace {

class TSynthConnection final : public TOutputConnection {
public:
    explicit TSynthConnection(std::unique_ptr<TSynthEngine> engine) : Engine(std::move(engine)) {}
    TMidiResult SendShort(const uint8_t* bytes, size_t length) override
    {
        Engine->ShortMessage(bytes, length);
        return {};
    }
    TMidiResult SendBlock(const uint8_t* bytes, size_t length) override
    {
        Engine->Block(bytes, length);
        return {};
    }

private:
    std::unique_ptr<TSynthEngine> Engine;
};

class TSynthBackend final : public TPortBackend {
public:
    explicit TSynthBackend(std::string soundFont) : SoundFont(std::move(soundFont)) {}
    std::string ApiName() const override { return "FluidSynth"; }
    std::vector<std::string> OutputNames() override { return {"Kelvane Synthesizer"}; }
    std::vector<std::string> InputNames() override { return {}; }
    std::unique_ptr<TOutputConnection> OpenOutput(size_t, TMidiResult& result) override
    {
        // The sound font is loaded here, at open, never at start-up.
        auto engine = std::make_unique<TSynthEngine>(true);
        result = engine->Open(SoundFont);
        if (!result.Ok())
            return nullptr;
        return std::make_unique<TSynthConnection>(std::move(engine));
    }
    std::unique_ptr<TInputConnection> OpenInput(size_t, TInputSink&, TMidiResult& result) override
    {
        result = TMidiResult::Failure(NotListedText, TMidiFailure::PortGone);
        return nullptr;
    }

private:
    std::string SoundFont;
};

} // namespace

std::unique_ptr<TPortBackend> MakeSynthBackend()
{
    std::string soundFont = TSynthEngine::FindSoundFont();
    if (soundFont.empty())
        return nullptr;
    return std::make_unique<TSynthBackend>(std::move(soundFont));
}
