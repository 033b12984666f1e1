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
        ASSERT_TRUE(f.Session().Output().IsOpen()) << "the peer's input did not open";
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

TEST_F(BinaryJackTest, TwoSectionsArriveExactlyOnePerTickOfTheInterval)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow("[SystemExclusiveSend]\nInterval=100\n"));
    QTest::mouseClick(F().Find<QPlainTextEdit>("MemoMidiOut")->viewport(), Qt::LeftButton);
    QTest::keyClicks(F().Find<QPlainTextEdit>("MemoMidiOut"), "F0 41 10 42 12 40 00 7F 00 41 F7 F0 7E 7F 09 01 F7");
    // What each tick of the send timer has done, read as it ends (the window's own handler was
    // connected first), however late a loaded machine lets it come.
    struct TTick {
        std::string Label;
        int Interval;
    };
    std::vector<TTick> ticks;
    QTimer& timer = *Find<QTimer>(F().Sender(), "TimerMidiOut");
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        ticks.push_back({F().Find<QLabel>("LabelMidiOut")->text().toStdString(), timer.interval()});
    });
    QTest::mouseClick(F().Find<QPushButton>("ButtonSend"), Qt::LeftButton);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !timer.isActive(); }, 10000));
    // One section a tick, the interval apart; the third tick ends the run.
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_EQ(ticks[0].Label, "MIDI出力（11バイト）");
    EXPECT_EQ(ticks[1].Label, "MIDI出力（17バイト）");
    for (const TTick& tick : ticks)
        EXPECT_EQ(tick.Interval, 100);
    ASSERT_TRUE(Peer->WaitForEvents(2, 5000));
    EXPECT_EQ(BytesOf(Peer->Events()), Wire({"F0 41 10 42 12 40 00 7F 00 41 F7", "F0 7E 7F 09 01 F7"}));
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
    // Sent after the run: once it is there, anything more the run sent would stand before it.
    const std::vector<uint8_t> marker = {0xB0, 0x7B, 0x00};
    F().Session().Output().PutShort(marker[0], marker[1], marker[2]);
    ASSERT_TRUE(Peer->WaitForLastEvent(marker, 5000));

    std::vector<TJackEvent> events = Peer->Events();
    events.pop_back();  // the marker
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
