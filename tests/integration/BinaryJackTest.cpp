// The raw output editor's sender through a real JACK server (dummy driver, 48 kHz, 256 frames a
// cycle): the window is opened on a peer client's MIDI input and what the peer receives is
// compared byte for byte with what was typed.
#include "GuiTest.h"
#include "JackTest.h"

#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr double FramesPerMs = 48.0;

class BinaryJackTest : public TJackTest {
protected:

    // The window with its output port on the peer's input, showing the Binary page.
    void OpenWindow(const QString& settings)
    {
        UseJackService();
        TFixtureOptions options;
        options.Settings = settings;
        options.UseRecordingService = false;
        options.OutDeviceName = QString::fromStdString(Peer->InputPortName());
        Fixture = std::make_unique<TKelvaneFixture>(options);
        TKelvaneFixture& f = *Fixture;
        ASSERT_NE(f.Session().Output().DeviceHandle(), nullptr) << "the peer's input did not open";
        EXPECT_EQ(f.Session().Output().ProductName(), Peer->InputPortName());
        ASSERT_NO_FATAL_FAILURE(ShowPage(f, 2));
    }

    TKelvaneFixture& F() { return *Fixture; }
};

std::vector<std::vector<uint8_t>> BytesOf(const std::vector<TJackEvent>& events)
{
    std::vector<std::vector<uint8_t>> bytes;
    for (const TJackEvent& event : events)
        bytes.push_back(event.Bytes);
    return bytes;
}

}  // namespace

TEST_F(BinaryJackTest, TwoSectionsArriveExactlyAbout100MsApart)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow("[SystemExclusiveSend]\nInterval=100\n"));
    QTest::mouseClick(F().Find<QPlainTextEdit>("MemoMidiOut")->viewport(), Qt::LeftButton);
    QTest::keyClicks(F().Find<QPlainTextEdit>("MemoMidiOut"), "F0 41 10 42 12 40 00 7F 00 41 F7 F0 7E 7F 09 01 F7");
    QTest::mouseClick(F().Find<QPushButton>("ButtonSend"), Qt::LeftButton);

    // Each label is read before the next tick, 100 ms later; a JACK cycle is 5.3 ms.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Peer->EventCount() >= 1; }, 3000));
    EXPECT_EQ(F().Find<QLabel>("LabelMidiOut")->text().toStdString(), "MIDI出力（11バイト）");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Peer->EventCount() >= 2; }, 3000));
    EXPECT_EQ(F().Find<QLabel>("LabelMidiOut")->text().toStdString(), "MIDI出力（17バイト）");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !F().Sender().Sending(); }, 3000));

    const std::vector<TJackEvent> events = Peer->Events();
    EXPECT_EQ(BytesOf(events), Wire({"F0 41 10 42 12 40 00 7F 00 41 F7", "F0 7E 7F 09 01 F7"}));
    ASSERT_EQ(events.size(), 2u);
    const double apartMs = double(events[1].Frame - events[0].Frame) / FramesPerMs;
    // About one interval: never early, and late only by what a loaded machine adds.
    EXPECT_GE(apartMs, 75.0);
    EXPECT_LE(apartMs, 250.0);
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join("|").toStdString();
    EXPECT_TRUE(F().Messages.isEmpty()) << F().Messages.join("|").toStdString();
}

TEST_F(BinaryJackTest, SixtyFourKiBSectionArrivesAsSixtyFourIntactPacketsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow("[SystemExclusiveSend]\nInterval=5\nPacketSize=1024\n"));
    // One system exclusive message of 65,536 bytes: F7 only at its end, so one section.
    QByteArray message;
    message.append(char(0xF0));
    for (int i = 1; i < 65535; ++i)
        message.append(char((i * 7 + i / 128) & 0x7F));
    message.append(char(0xF7));
    F().Find<QPlainTextEdit>("MemoMidiOut")->setPlainText(QString::fromLatin1(message.toHex(' ')));
    ASSERT_EQ(F().Find<QLabel>("LabelMidiOut")->text().toStdString(), "MIDI出力（65536バイト）");

    QTest::mouseClick(F().Find<QPushButton>("ButtonSend"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Peer->EventCount() >= 64; }, 10000)) << Peer->EventCount();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !F().Sender().Sending(); }, 3000));
    QTest::qWait(50);  // nothing more follows

    const std::vector<TJackEvent> events = Peer->Events();
    ASSERT_EQ(events.size(), 64u);
    QByteArray joined;
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].Bytes.size(), 1024u) << "packet " << i;
        joined.append(reinterpret_cast<const char*>(events[i].Bytes.data()), qsizetype(events[i].Bytes.size()));
    }
    EXPECT_EQ(joined, message);
    EXPECT_EQ(F().Find<QLabel>("LabelMidiOut")->text().toStdString(), "MIDI出力（65536バイト）");
    EXPECT_TRUE(F().Errors.isEmpty()) << F().Errors.join("|").toStdString();
}
