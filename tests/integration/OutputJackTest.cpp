// The output port and the main window over a real JACK server in dummy mode: what a JACK
// client receives is what Kelvane meant to send.
#include "JackTest.h"
#include "MidiOutput.h"
#include "platform/DeviceList.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class OutputJackTest : public TJackTest {
protected:
    void SetUp() override
    {
        TJackTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            UseJackService();
    }
};

std::vector<std::vector<uint8_t>> Received(const TJackPeer& peer)
{
    std::vector<std::vector<uint8_t>> bytes;
    for (const auto& event : peer.Events())
        bytes.push_back(event.Bytes);
    return bytes;
}

TEST_F(OutputJackTest, PortOpensTheClientsInputByNameAndDeliversExactBytes)
{
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    EXPECT_EQ(port.ProductName(), Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    port.PutShort(0x90, 0x3C, 0x64);
    const uint8_t identity[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    port.PutLong(identity, sizeof identity);
    ASSERT_TRUE(Peer->WaitForEvents(2, 3000));
    EXPECT_EQ(Received(*Peer), Wire({"90 3C 64", "F0 7E 7F 09 01 F7"}));
}

TEST_F(OutputJackTest, ServiceOpenedOnItsOwnThreadServesTheWindowThread)
{
    // As the program starts: the system service is made, and its ports listed, on another
    // thread while the window is built; the ports then use it from this thread.
    SetDeviceList(nullptr);
    const QByteArray api = qgetenv("KELVANE_MIDI_API");
    qputenv("KELVANE_MIDI_API", "jack");
    StartDeviceList();
    qputenv("KELVANE_MIDI_API", api);
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    port.PutShort(0x90, 0x43, 0x78);
    ASSERT_TRUE(Peer->WaitForEvents(1, 3000));
    EXPECT_EQ(Received(*Peer), Wire({"90 43 78"}));
    port.Close();

    // A service installed while one is still being made replaces it once it is done.
    SetDeviceList(nullptr);
    StartDeviceList();
    UseRecordingBackend();
    EXPECT_EQ(TMidiOutput().ReadDeviceNames(), (std::vector<std::string>{"Kelvane MIDI Mapper", "Test Synth", "Test Port"}));
}

TEST_F(OutputJackTest, ListPortsPrintsWhatTheMenuWillShow)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KELVANE_MIDI_API", "jack");
    process.setProcessEnvironment(environment);  // JACK_DEFAULT_SERVER names the test's server
    process.start(QCoreApplication::applicationDirPath() + "/kelvane", {"--list-ports"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "Output ports:");
    EXPECT_EQ(lines[1], "Kelvane MIDI Mapper");
    EXPECT_TRUE(lines.contains(QString::fromStdString(Peer->InputPortName()))) << lines.join('|').toStdString();
    const int inputs = int(lines.indexOf("Input ports:"));
    ASSERT_GT(inputs, 1);
    EXPECT_TRUE(lines.mid(inputs).contains(QString::fromStdString(Peer->OutputPortName())));
    EXPECT_FALSE(lines.mid(0, inputs).contains(QString::fromStdString(Peer->OutputPortName())));
}

TEST_F(OutputJackTest, ServerGoneUnderAnOpenPortFailsTheNextSendPromptly)
{
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    Peer.reset();
    Server.Stop();
    // Sends are taken until the client hears of the shutdown, and fail with the reason from
    // then on. A send that waited for the server would never return: ctest's time limit ends it.
    std::string text;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        try {
            port.PutShort(0x90, 0x3C, 0x64);
        } catch (const EMidiOutputError& error) {
            text = error.what();
        }
        return !text.empty();
    }, 30000)) << "sends kept succeeding with no server";
    EXPECT_EQ(text, "JACK server is not running");
    EXPECT_NO_THROW(port.Close());
}

TEST_F(OutputJackTest, ComputerKeyAndGsResetFromTheRealWindow)
{
    TFixtureOptions options;
    options.UseRecordingService = false;
    options.OutDeviceName = QString::fromStdString(Peer->InputPortName());
    TKelvaneFixture f(options);
    ASSERT_TRUE(f.Session().Output().IsOpen()) << f.Messages.join('|').toStdString();
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &f.Main();
    QTest::keyPress(target, Qt::Key_D);
    QTest::keyRelease(target, Qt::Key_D);
    QTest::mouseClick(f.Find<QPushButton>("ButtonGsReset"), Qt::LeftButton);
    ASSERT_TRUE(Peer->WaitForEvents(3, 3000));
    EXPECT_EQ(Received(*Peer), Wire({"90 40 78", "80 40 28", "F0 41 10 42 12 40 00 7F 00 41 F7"}));
    EXPECT_TRUE(f.Errors.isEmpty()) << f.Errors.join('|').toStdString();
}

} // namespace
