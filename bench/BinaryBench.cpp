// Measures the raw output editor with big data: loading a .syx file into the memo and showing
// it, the byte count the memo updates at every keystroke, keystrokes in a memo of Roland data
// sets whose wrong sums are marked, and a timed send of 1 MiB to a JACK client. Prints figures;
// never fails.
#include "HexText.h"
#include "JackPeer.h"
#include "JackServer.h"
#include "KelvaneFixture.h"
#include "SysexSamples.h"
#include "platform/DeviceList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

void ShowBinaryPage(TKelvaneFixture& f)
{
    f.Main().show();
    if (!QTest::qWaitForWindowExposed(&f.Main()))
        std::printf("(the window was not exposed)\n");
    QTabBar* tabs = f.Find<QTabWidget>("PageMain")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
}

// Runs the event loop until done() holds (checked every millisecond) or the time is up.
template <class TDone>
bool RunUntil(TDone done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(1);
    loop.exec();
    return done();
}

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

// Keystrokes in the middle of the memo, as a user changing a byte or two: the editor's own
// work, the count, and the repaint that follows on the next turn of the event loop.
void BenchKeystrokes(TKelvaneFixture& f)
{
    QPlainTextEdit* memo = f.Find<QPlainTextEdit>("MemoMidiOut");
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(memo->document()->characterCount() / 2);
    memo->setTextCursor(cursor);
    memo->ensureCursorVisible();
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    std::vector<double> keys;
    for (int i = 0; i < 20; ++i) {
        clock.start();
        QTest::keyClick(memo, i % 2 ? Qt::Key_Backspace : Qt::Key_0);
        QCoreApplication::processEvents();
        keys.push_back(Ms(clock.nsecsElapsed()));
    }
    std::sort(keys.begin(), keys.end());
    std::printf("  keystroke in the middle of the memo, repaint included: median %.2f ms, max %.2f ms\n",
                keys[keys.size() / 2], keys.back());
}

// Loads the bytes as a .syx file through the page's button and leaves the memo showing them.
void LoadThroughTheButton(TKelvaneFixture& f, const char* what, const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.syx");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    DialogHooks().File = [&](const TFileDialogRequest&) { return path; };

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(f.Find<QPushButton>("ButtonOutLoadBinary"), Qt::LeftButton);
    const qint64 loaded = clock.nsecsElapsed();
    f.Find<QPlainTextEdit>("MemoMidiOut")->viewport()->repaint();  // the first screen of it, painted
    QCoreApplication::processEvents();
    const qint64 shown = clock.nsecsElapsed();
    std::printf("load %7lld-byte .syx (%s) on %s: click returned %8.1f ms, memo painted %8.1f ms (%s, %d lines)\n",
                static_cast<long long>(bytes.size()), what, QGuiApplication::platformName().toUtf8().constData(),
                Ms(loaded), Ms(shown), f.Find<QLabel>("LabelMidiOut")->text().toUtf8().constData(),
                f.Find<QPlainTextEdit>("MemoMidiOut")->document()->blockCount());
}

void BenchLoad(qsizetype size)
{
    TKelvaneFixture f;
    ShowBinaryPage(f);
    LoadThroughTheButton(f, "one message", OneBigMessage(size));
    BenchKeystrokes(f);

    // The count update alone, as the change handler once did it (raw text copied, digits counted).
    std::vector<double> counts;
    int digits = 0;
    QElapsedTimer clock;
    for (int i = 0; i < 20; ++i) {
        clock.start();
        digits = CountHexDigits(f.Find<QPlainTextEdit>("MemoMidiOut")->document()->toRawText());
        counts.push_back(Ms(clock.nsecsElapsed()));
    }
    std::sort(counts.begin(), counts.end());
    std::printf("  byte count (text copy + %d digits counted): median %.2f ms, max %.2f ms\n", digits,
                counts[counts.size() / 2], counts.back());
}

// A memo of data sets, one in ten wrong: each keystroke shifts the pairs after it, so the
// messages after it turn wrong or right and the marks in view change.
void BenchDataSets(qsizetype size)
{
    TKelvaneFixture f;
    ShowBinaryPage(f);
    LoadThroughTheButton(f, "GS data sets", DataSets(size));
    BenchKeystrokes(f);
}

// For comparison: the same bytes as the single line a loaded file used to be.
void BenchSingleLine(qsizetype size)
{
    TKelvaneFixture f;
    ShowBinaryPage(f);
    QElapsedTimer clock;
    clock.start();
    f.Find<QPlainTextEdit>("MemoMidiOut")->setPlainText(BytesToHexLine(OneBigMessage(size)));
    f.Find<QPlainTextEdit>("MemoMidiOut")->viewport()->repaint();
    QCoreApplication::processEvents();
    std::printf("the same %lld bytes as one line: shown in %.1f ms\n", static_cast<long long>(size),
                Ms(clock.nsecsElapsed()));
    BenchKeystrokes(f);
}

void BenchJackSend()
{
    if (!TJackServer::Available()) {
        std::printf("JACK send: skipped, jackd is not installed\n");
        return;
    }
    TJackServer server;
    if (!server.Start()) {
        std::printf("JACK send: skipped, %s\n", server.Error().c_str());
        return;
    }
    auto peer = std::make_unique<TJackPeer>();
    SetDeviceList(std::make_unique<TDeviceList>(TMidiApi::Jack));
    {
        TFixtureOptions options;
        options.Settings = "[SystemExclusiveSend]\nInterval=5\nPacketSize=2048\n";
        options.UseRecordingService = false;
        options.OutDeviceName = QString::fromStdString(peer->InputPortName());
        TKelvaneFixture f(options);
        if (!f.Session().Output().IsOpen()) {
            std::printf("JACK send: skipped, the peer's input did not open\n");
        } else {
            ShowBinaryPage(f);
            const QByteArray message = OneBigMessage(1024 * 1024);
            f.Find<QPlainTextEdit>("MemoMidiOut")->setPlainText(QString::fromLatin1(message.toHex(' ')));
            QElapsedTimer clock;
            QTest::mouseClick(f.Find<QPushButton>("ButtonSend"), Qt::LeftButton);
            clock.start();
            // A real event loop: QTest::qWaitFor sleeps 10 ms between its turns, which would
            // hold back a 5 ms timer.
            const bool all = RunUntil([&] { return peer->EventCount() >= 512; }, 60000);
            const qint64 lastArrived = clock.nsecsElapsed();
            RunUntil([&] { return !f.Sender().Sending(); }, 5000);
            const std::vector<TJackEvent> events = peer->Events();

            QByteArray joined;
            for (const TJackEvent& event : events)
                joined.append(reinterpret_cast<const char*>(event.Bytes.data()), qsizetype(event.Bytes.size()));
            std::vector<double> gaps;
            for (size_t i = 1; i < events.size(); ++i)
                gaps.push_back(double(events[i].Frame - events[i - 1].Frame) / 48.0);
            const double mean = gaps.empty() ? 0 : std::accumulate(gaps.begin(), gaps.end(), 0.0) / double(gaps.size());
            double squares = 0;
            for (double gap : gaps)
                squares += (gap - mean) * (gap - mean);
            const double spread = gaps.empty() ? 0 : std::sqrt(squares / double(gaps.size()));
            const double firstToLast = events.size() > 1 ? double(events.back().Frame - events.front().Frame) / 48.0 : 0;
            const auto [minGap, maxGap] = gaps.empty() ? std::pair<double, double>{0, 0} : std::pair{
                *std::min_element(gaps.begin(), gaps.end()), *std::max_element(gaps.begin(), gaps.end())};
            std::printf("JACK send of 1 MiB, 2048-byte packets every 5 ms: %zu events%s, bytes %s\n", events.size(),
                        all ? "" : " (timed out)", joined == message ? "intact" : "DIFFER");
            std::printf("  click to last packet received: %.1f ms (ideal 512 x 5 = 2560 ms; drift %+.1f ms)\n",
                        Ms(lastArrived), Ms(lastArrived) - 2560.0);
            std::printf("  first to last packet on the JACK clock: %.1f ms (ideal 511 x 5 = 2555 ms; drift %+.1f ms)\n",
                        firstToLast, firstToLast - 2555.0);
            std::printf("  gap between packets: mean %.3f ms, sd %.3f ms, min %.2f ms, max %.2f ms "
                        "(JACK cycle 5.33 ms)\n", mean, spread, minGap, maxGap);
            std::printf("  errors: %d\n", int(f.Errors.size()));
        }
    }
    SetDeviceList(nullptr);
    peer.reset();
    server.Stop();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchLoad(1024 * 1024);
    BenchSingleLine(1024 * 1024);
    BenchLoad(4 * 1024 * 1024);  // the largest .syx file the editor takes
    BenchDataSets(1024 * 1024);
    BenchJackSend();
    return 0;
}
