// Devices that go and come back under the same name, through a real JACK server in dummy mode:
// a peer client is closed and started again, as a user closes and restarts a synthesizer or a
// keyboard program. Kelvane notices on its own, says so, and takes the device again by name.
#include "GuiTest.h"
#include "JackTest.h"
#include "MidiInput.h"
#include "MidiOutput.h"
#include "OutputPortMenu.h"
#include "PortStatus.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Bounded waits: a machine with every core busy is slow, never this slow.
constexpr int NoticeMs = 10000;

std::vector<std::vector<uint8_t>> Received(const TJackPeer& peer)
{
    std::vector<std::vector<uint8_t>> bytes;
    for (const auto& event : peer.Events())
        bytes.push_back(event.Bytes);
    return bytes;
}

QString Said(const char* text, const std::string& port)
{
    return TPortStatus::tr(text).arg(QString::fromStdString(port));
}

QStringList Captions(QMenu* menu)
{
    emit menu->aboutToShow();  // read afresh, as when the user opens it
    QStringList captions;
    for (QAction* item : menu->actions())
        captions << item->text();
    return captions;
}

QString CheckedCaption(QMenu* menu)
{
    for (QAction* item : menu->actions())
        if (item->isChecked())
            return item->text();
    return {};
}

class ReconnectJackTest : public TJackTest {
protected:
    void SetUp() override
    {
        TJackTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            UseJackService();
    }

    // A window whose settings name these ports; the computer keys go to it.
    void OpenWindow(const std::string& output, const std::string& input = {})
    {
        TFixtureOptions options;
        options.Settings = QStringLiteral("[Midi]\nOutDeviceName=%1\n").arg(QString::fromStdString(output));
        if (!input.empty())
            options.Settings += QStringLiteral("InDeviceName=%1\n").arg(QString::fromStdString(input));
        options.UseRecordingService = false;
        Fixture = std::make_unique<TKelvaneFixture>(options);
        F().Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&F().Main()));
    }

    TKelvaneFixture& F() { return *Fixture; }
    QString Status() { return F().Main().PortStatus().Text(); }

    // The computer key D (note E4), pressed or released where the window's keys go.
    void KeyD(bool press)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &F().Main();
        if (press)
            QTest::keyPress(target, Qt::Key_D);
        else
            QTest::keyRelease(target, Qt::Key_D);
    }
};

TEST_F(ReconnectJackTest, OutputPortTakesTheSynthesizerAgainWhenItRestarts)
{
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    port.PutShort(0x90, 0x3C, 0x64);
    ASSERT_TRUE(Peer->WaitForEvents(1, 3000));

    Peer.reset();
    // Noticed with no send to find it out.
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.Absent(); }, NoticeMs)) << "the port did not notice the client go";
    EXPECT_FALSE(port.IsOpen());
    try {
        port.PutShort(0x90, 0x3C, 0x64);
        ADD_FAILURE() << "a send to a client that is gone succeeded";
    } catch (const EMidiOutputError& error) {
        EXPECT_STREQ(error.what(), "MIDI output port is no longer there: kelvane-peer:in");
    }
    EXPECT_EQ(port.LastFailure().Kind(), TMidiFailure::PortGone);

    Peer = std::make_unique<TJackPeer>();  // the same name, a new client
    ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.IsOpen(); }, NoticeMs)) << "the port did not take the client again";
    EXPECT_FALSE(port.Absent());
    const uint8_t identity[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    port.PutShort(0xB0, 0x07, 0x50);
    port.PutLong(identity, sizeof identity);
    ASSERT_TRUE(Peer->WaitForEvents(2, 3000));
    EXPECT_EQ(Received(*Peer), Wire({"B0 07 50", "F0 7E 7F 06 01 F7"}));
}

// The server itself stops: once the port has noticed, its sends say so, not merely that the
// device went.
TEST_F(ReconnectJackTest, OutputPortNoticingTheServerStopSaysSo)
{
    TMidiOutput port;
    port.SetProductName(Peer->InputPortName());
    ASSERT_TRUE(port.Open());
    Peer.reset();
    Server.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.Absent(); }, NoticeMs)) << "the port did not notice the server stop";
    try {
        port.PutShort(0x90, 0x3C, 0x64);
        ADD_FAILURE() << "a send with no server succeeded";
    } catch (const EMidiOutputError& error) {
        EXPECT_STREQ(error.what(), "JACK server is not running");
    }
    EXPECT_EQ(port.LastFailure().Kind(), TMidiFailure::NoServer);
}

TEST_F(ReconnectJackTest, InputPortHearsTheKeyboardAgainWhenItRestarts)
{
    TMidiInput port;
    std::vector<std::vector<uint8_t>> heard;
    port.OnMidiInput = [&](QObject*) {
        if (const std::unique_ptr<TMidiEvent> event = port.GetMidiEvent())
            heard.push_back({event->StatusByte, event->DataByte1, event->DataByte2});
    };
    port.SetProductName(Peer->OutputPortName());
    port.Open();
    ASSERT_TRUE(port.IsOpen()) << port.LastFailure().Text();
    port.Start();
    ASSERT_TRUE(Peer->WaitUntilOutputConnected(3000));
    Peer->Send({0x90, 0x3C, 0x7F});
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() == 1; }, NoticeMs));

    Peer.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.Absent(); }, NoticeMs)) << "the port did not notice the client go";
    EXPECT_TRUE(port.IsOpen());  // still listening for the device's return

    Peer = std::make_unique<TJackPeer>();
    ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Absent(); }, NoticeMs)) << "the port did not take the client again";
    ASSERT_TRUE(Peer->WaitUntilOutputConnected(3000)) << "Kelvane's input is not connected to the new client";
    Peer->Send({0x80, 0x3C, 0x00});
    Peer->Send({0xB0, 0x07, 0x50});
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() == 3; }, NoticeMs)) << "nothing arrived from the new client";
    EXPECT_EQ(heard, Wire({"90 3C 7F", "80 3C 00", "B0 07 50"}));
    port.Close();
}

// What a user meets: a key is held when the synthesizer goes; the status line says so, the
// menu marks the port, the key returns to rest, keys played meanwhile say they went nowhere
// (no box in the middle of playing), and after the restart nothing is sent until the next key.
TEST_F(ReconnectJackTest, WindowSaysTheSynthesizerWentAndPlaysItAgainWhenItReturns)
{
    const std::string name = Peer->InputPortName();
    ASSERT_NO_FATAL_FAILURE(OpenWindow(name));
    ASSERT_TRUE(F().Session().Output().IsOpen()) << F().Messages.join('|').toStdString();
    QMenu* menu = F().Find<QMenu>("MenuOutDevice");
    KeyD(true);
    ASSERT_TRUE(Peer->WaitForEvents(1, 3000));
    EXPECT_TRUE(F().Keyboard().Sounding(64));

    Peer.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Status().isEmpty(); }, NoticeMs)) << "nothing said";
    EXPECT_EQ(Status(), Said(TPortStatus::OutputGoneText, name));
    EXPECT_FALSE(F().Keyboard().Sounding(64));
    EXPECT_TRUE(Captions(menu).contains(TOutputPortMenu::tr(TOutputPortMenu::AbsentCaption).arg(QString::fromStdString(name))))
        << Captions(menu).join('|').toStdString();
    EXPECT_EQ(CheckedCaption(menu), TOutputPortMenu::tr(TOutputPortMenu::AbsentCaption).arg(QString::fromStdString(name)));
    KeyD(false);  // the note it ended is no longer sounding anywhere: nothing to say
    EXPECT_EQ(Status(), Said(TPortStatus::OutputGoneText, name));
    KeyD(true);
    KeyD(false);
    EXPECT_EQ(Status(), Said(TPortStatus::NotSentText, name));
    EXPECT_TRUE(F().Messages.isEmpty()) << F().Messages.join('|').toStdString();
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join('|').toStdString();

    Peer = std::make_unique<TJackPeer>();
    ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
    ASSERT_TRUE(QTest::qWaitFor([&] { return F().Session().Output().IsOpen(); }, NoticeMs)) << "not taken again";
    EXPECT_EQ(Status(), Said(TPortStatus::OutputReturnedText, name));
    EXPECT_EQ(CheckedCaption(menu), QString::fromStdString(name));
    ASSERT_TRUE(Peer->WaitUntilRead(3000));
    EXPECT_EQ(Peer->EventCount(), 0u) << "something was sent on its own";
    KeyD(true);
    KeyD(false);
    ASSERT_TRUE(Peer->WaitForEvents(2, 3000));
    EXPECT_EQ(Received(*Peer), Wire({"90 40 78", "80 40 28"}));
    EXPECT_TRUE(F().Messages.isEmpty()) << F().Messages.join('|').toStdString();
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join('|').toStdString();
}

TEST_F(ReconnectJackTest, MonitorHearsTheKeyboardAgainAndItsCountGoesOn)
{
    const std::string input = Peer->OutputPortName();
    TJackPeer synth("kelvane-synth");
    ASSERT_TRUE(synth.IsOpen()) << synth.Error();
    ASSERT_NO_FATAL_FAILURE(OpenWindow(synth.InputPortName(), input));
    ASSERT_NO_FATAL_FAILURE(ShowPage(F(), 2));
    QComboBox* combo = F().Find<TPortComboBox>("ComboMidiInDevice");
    ASSERT_EQ(combo->currentText().toStdString(), input);
    ASSERT_TRUE(Peer->WaitUntilOutputConnected(3000));
    Peer->Send({0x90, 0x3C, 0x7F});
    ASSERT_TRUE(QTest::qWaitFor([&] { return F().Monitor().ReceivedBytes().size() == 3; }, NoticeMs));

    Peer.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Status().isEmpty(); }, NoticeMs)) << "nothing said";
    EXPECT_EQ(Status(), Said(TPortStatus::InputGoneText, input));
    EXPECT_EQ(combo->currentText(), TMonitor::tr("%1（見つかりません）").arg(QString::fromStdString(input)));

    Peer = std::make_unique<TJackPeer>();
    ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status() == Said(TPortStatus::InputReturnedText, input); }, NoticeMs))
        << Status().toStdString();
    EXPECT_EQ(combo->currentText().toStdString(), input);
    ASSERT_TRUE(Peer->WaitUntilOutputConnected(3000)) << "Kelvane's input is not connected to the new client";
    Peer->Send({0x80, 0x3C, 0x00});
    QPlainTextEdit* memo = F().Find<QPlainTextEdit>("MemoMidiIn");
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo->toPlainText().count('\n') == 1; }, NoticeMs))
        << "nothing arrived from the new client";
    EXPECT_EQ(memo->toPlainText(), "90 3c 7f\n80 3c 00");
    EXPECT_EQ(F().Monitor().ReceivedBytes(), QByteArray("\x90\x3C\x7F\x80\x3C\x00", 6));
    EXPECT_EQ(F().Find<QLabel>("LabelMidiIn")->text(), QStringLiteral("MIDI入力（6バイト）"));
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join('|').toStdString();
}

// The settings name ports of a program not started yet: the window starts as usual and takes
// them when the program comes, with no restart.
TEST_F(ReconnectJackTest, SavedPortsMissingAtStartUpAreTakenWhenTheyAppear)
{
    const std::string output = "kelvane-late:in";
    const std::string input = "kelvane-late:out";
    ASSERT_NO_FATAL_FAILURE(OpenWindow(output, input));
    EXPECT_FALSE(F().Session().Output().IsOpen());
    EXPECT_TRUE(F().Session().Output().Absent());
    EXPECT_TRUE(F().Session().Input().Absent());
    // As when no port opens: the window asks for one and shows only its menu bar until then.
    ASSERT_EQ(F().Messages.size(), 1) << F().Messages.join('|').toStdString();
    EXPECT_TRUE(F().Messages[0].contains(QStringLiteral("「出力ポート」メニュー"))) << F().Messages[0].toStdString();
    F().Messages.clear();

    TJackPeer late("kelvane-late");
    ASSERT_TRUE(late.IsOpen()) << late.Error();
    ASSERT_TRUE(QTest::qWaitFor([&] { return F().Session().Output().IsOpen() && !F().Session().Input().Absent(); }, NoticeMs))
        << "not taken: " << Status().toStdString();
    EXPECT_TRUE(F().Find<QTabWidget>("PageMain")->isVisible());
    KeyD(true);
    KeyD(false);
    ASSERT_TRUE(late.WaitForEvents(2, 3000));
    EXPECT_EQ(Received(late), Wire({"90 40 78", "80 40 28"}));

    ASSERT_TRUE(late.WaitUntilOutputConnected(3000)) << "Kelvane's input is not connected to the late client";
    late.Send({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
    ASSERT_TRUE(QTest::qWaitFor([&] { return F().Monitor().ReceivedBytes().size() == 6; }, NoticeMs));
    EXPECT_EQ(F().Monitor().ReceivedBytes(), QByteArray("\xF0\x7E\x7F\x06\x01\xF7", 6));
    EXPECT_TRUE(F().Messages.isEmpty()) << F().Messages.join('|').toStdString();
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join('|').toStdString();
}

} // namespace
