// The hardware path: a kernel rawmidi device behind the sequencer, as a USB or DIN MIDI interface
// is. snd-virmidi gives such a device in the test machine (scripts/test-alsa.sh loads it): what
// Kelvane sends to its sequencer port comes out of /dev/snd/midiC*D0 byte-exact, and bytes
// written there reach Kelvane's input byte-exact.
#include "AlsaTest.h"
#include "MidiInput.h"
#include "MidiOutput.h"
#include "TestBytes.h"

#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <glob.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstring>
#include <optional>

namespace {

constexpr int WaitMs = 60000;  // bounded: an emulated machine is slow, never this slow

// The raw side of the first virtual rawmidi device, and the name Kelvane lists its port by.
struct TRawDevice {
    std::string Path;
    std::string PortName;
};

std::optional<TRawDevice> FindVirmidi(const std::vector<std::string>& names)
{
    const auto port = std::find_if(names.begin(), names.end(),
                                   [](const std::string& name) { return name.find("VirMIDI") != std::string::npos; });
    glob_t found{};
    const bool any = glob("/dev/snd/midiC*D0", 0, nullptr, &found) == 0 && found.gl_pathc > 0;
    std::optional<TRawDevice> device;
    if (any && port != names.end())
        device = TRawDevice{found.gl_pathv[0], *port};
    globfree(&found);
    return device;
}

size_t ShortLength(uint8_t status)
{
    if (status >= 0xF8 || status == 0xF6)
        return 1;
    if ((status & 0xE0) == 0xC0 || status == 0xF1 || status == 0xF3)
        return 2;
    return 3;
}

class AlsaRawMidiTest : public TAlsaTest {
protected:
    void SetUp() override
    {
        TAlsaTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        UseAlsaService();
        const std::optional<TRawDevice> device = FindVirmidi(TMidiOutput().ReadDeviceNames());
        if (!device)
            GTEST_SKIP() << "no virtual rawmidi device here (modprobe snd-virmidi midi_devs=1; "
                            "scripts/test-alsa.sh loads it in its virtual machine)";
        Device = *device;
        ASSERT_NO_FATAL_FAILURE(OpenRaw());
    }

    void OpenRaw()
    {
        Raw = open(Device.Path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(Raw, 0) << Device.Path << ": " << strerror(errno);
        // The raw side takes bytes in from the sequencer only once a reader has asked for them.
        uint8_t none[1];
        [[maybe_unused]] const ssize_t nothing = read(Raw, none, sizeof none);
    }

    void TearDown() override
    {
        if (Raw >= 0)
            close(Raw);
        TAlsaTest::TearDown();
    }

    // What the raw side gives until `count` bytes have come (bounded), while the window thread's
    // events run.
    TBytes ReadRaw(size_t count)
    {
        TBytes bytes;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitMs);
        while (bytes.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd fd{Raw, POLLIN, 0};
            if (poll(&fd, 1, 10) > 0) {
                uint8_t buffer[4096];
                const ssize_t got = read(Raw, buffer, sizeof buffer);
                if (got > 0)
                    bytes.insert(bytes.end(), buffer, buffer + got);
            }
            QCoreApplication::processEvents();
        }
        return bytes;
    }

    // Writes everything to the raw side, waiting for room as a device's driver does.
    void WriteRaw(const TBytes& bytes, const std::function<void()>& meanwhile)
    {
        size_t done = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitMs);
        while (done < bytes.size() && std::chrono::steady_clock::now() < end) {
            const ssize_t put = write(Raw, bytes.data() + done, std::min<size_t>(bytes.size() - done, 256));
            if (put > 0)
                done += size_t(put);
            else
                QTest::qWait(1);
            meanwhile();
        }
        ASSERT_EQ(done, bytes.size());
    }

    TRawDevice Device;
    int Raw = -1;
};

TEST_F(AlsaRawMidiTest, EveryKindOfMessageSentComesOutOfTheRawSideExactly)
{
    TMidiOutput port;
    port.SetProductName(Device.PortName);
    ASSERT_TRUE(port.Open()) << port.LastFailure().Text();
    const std::vector<TBytes> shorts = Wire({"90 40 78", "80 40 28", "A0 40 10", "B0 07 64", "C0 05", "D0 30",
                                             "E0 00 40", "F1 12", "F2 10 20", "F3 03", "F6", "F8", "FA", "FB",
                                             "FC", "FE", "FF"});
    TBytes expected;
    for (const TBytes& message : shorts) {
        port.PutShort(message[0], message.size() > 1 ? message[1] : 0, message.size() > 2 ? message[2] : 0);
        expected.insert(expected.end(), message.begin(), message.end());
    }
    EXPECT_EQ(ReadRaw(expected.size()), expected);

    // 64 KiB of system exclusive, in the raw editor's packets of 1,024 bytes, each read off the
    // raw side before the next is sent (the device's buffer holds 4 KiB; a reader that falls
    // behind loses bytes there, as on a real interface).
    const TBytes sysex = SysexOfLength(64 * 1024);
    TBytes got;
    for (size_t start = 0; start < sysex.size(); start += 1024) {
        const size_t length = std::min<size_t>(1024, sysex.size() - start);
        port.PutLong(sysex.data() + start, uint32_t(length));
        const TBytes packet = ReadRaw(length);
        got.insert(got.end(), packet.begin(), packet.end());
        ASSERT_EQ(got.size(), start + length);
    }
    EXPECT_EQ(got.size(), sysex.size());
    EXPECT_TRUE(got == sysex) << "first difference at byte "
                              << std::mismatch(got.begin(), got.end(), sysex.begin(), sysex.end()).first - got.begin();
}

TEST_F(AlsaRawMidiTest, BytesWrittenToTheRawSideReachTheInputExactly)
{
    TMidiInput port;
    TBytes heard;
    port.OnMidiInput = [&](QObject*) {
        if (const std::unique_ptr<TMidiEvent> event = port.GetMidiEvent()) {
            if (event->StatusByte == 0xF0) {
                heard.insert(heard.end(), event->SysexData.get(), event->SysexData.get() + event->SysexSize);
            } else {
                const uint8_t bytes[] = {event->StatusByte, event->DataByte1, event->DataByte2};
                heard.insert(heard.end(), bytes, bytes + ShortLength(event->StatusByte));
            }
        }
    };
    port.SetProductName(Device.PortName);
    port.Open();
    ASSERT_TRUE(port.IsOpen()) << port.LastFailure().Text();
    port.Start();

    // Short messages, then running status (the port hands each message whole, status included).
    ASSERT_NO_FATAL_FAILURE(WriteRaw(Bytes("90 3C 7F B0 07 64 C0 05 E0 00 40 90 40 70 42 71 43 72"), [] {}));
    const TBytes shorts = Bytes("90 3C 7F B0 07 64 C0 05 E0 00 40 90 40 70 90 42 71 90 43 72");
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() >= shorts.size(); }, WaitMs)) << heard.size();
    EXPECT_EQ(heard, shorts);

    heard.clear();
    const TBytes sysex = SysexOfLength(64 * 1024);
    ASSERT_NO_FATAL_FAILURE(WriteRaw(sysex, [] { QCoreApplication::processEvents(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() >= sysex.size(); }, WaitMs)) << heard.size();
    EXPECT_EQ(heard.size(), sysex.size());
    EXPECT_TRUE(heard == sysex);
    port.Close();
}

// The interface unplugged and plugged in again (its driver unbound and bound again, as the
// kernel sees a USB interface pulled out and put back): both
// ports notice it gone and take it again by name; what is sent afterwards comes out of the new
// device, and what it gives reaches the input.
TEST_F(AlsaRawMidiTest, TheDeviceUnpluggedAndPluggedInAgainIsTakenAgain)
{
    const char* unplug = std::getenv("KELVANE_UNPLUG_RAWMIDI");
    const char* plugIn = std::getenv("KELVANE_PLUG_IN_RAWMIDI");
    if (!unplug || !plugIn)
        GTEST_SKIP() << "unplugging the device needs KELVANE_UNPLUG_RAWMIDI and KELVANE_PLUG_IN_RAWMIDI, "
                        "commands that unbind and bind snd-virmidi's driver as root (scripts/test-alsa.sh sets them)";
    TMidiOutput output;
    output.SetProductName(Device.PortName);
    ASSERT_TRUE(output.Open()) << output.LastFailure().Text();
    TMidiInput input;
    TBytes heard;
    input.OnMidiInput = [&](QObject*) {
        if (const std::unique_ptr<TMidiEvent> event = input.GetMidiEvent())
            heard.insert(heard.end(), {event->StatusByte, event->DataByte1, event->DataByte2});
    };
    input.SetProductName(Device.PortName);
    input.Open();
    ASSERT_TRUE(input.IsOpen()) << input.LastFailure().Text();
    input.Start();

    close(Raw);
    Raw = -1;
    ASSERT_EQ(std::system(unplug), 0) << unplug;
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.Absent() && input.Absent(); }, WaitMs))
        << "output gone: " << output.Absent() << ", input gone: " << input.Absent();
    ASSERT_EQ(std::system(plugIn), 0) << plugIn;
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.IsOpen() && !output.Absent() && !input.Absent(); }, WaitMs))
        << "output back: " << !output.Absent() << ", input back: " << !input.Absent();
    ASSERT_TRUE(QTest::qWaitFor([&] { return FindVirmidi(output.ReadDeviceNames()).has_value(); }, WaitMs));
    Device = *FindVirmidi(output.ReadDeviceNames());
    ASSERT_NO_FATAL_FAILURE(OpenRaw());

    output.PutShort(0x90, 0x3C, 0x7F);
    EXPECT_EQ(ReadRaw(3), Bytes("90 3C 7F"));
    ASSERT_NO_FATAL_FAILURE(WriteRaw(Bytes("90 40 70"), [] {}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() >= 3; }, WaitMs)) << heard.size();
    EXPECT_EQ(heard, Bytes("90 40 70"));
}

}  // namespace
