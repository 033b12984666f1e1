// The monitor's record and table model at ten million messages, without a window: the memory the
// record and the list of shown rows take (the process's anonymous memory, as the system counts
// it), the time of a filter change over all of them, of reading the first rows after a jump and
// rows deep in the record, and of taking in a turn's worth of new messages.
//
// Run: build/bin/bench_monitor_model [messages]   (default 10,000,000)
#include "MessageFilter.h"
#include "MonitorTableModel.h"
#include "StandardMidiFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Anonymous resident memory of this process in MB (RssAnon).
double AnonymousMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

// A session's mix: notes on and off over four channels, controllers, pitch bend, a clock.
void Fill(TMessageRecord& record, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const auto time = int64_t(i) * 10;  // 100,000 a second
        const auto channel = uint8_t(i % 4);
        const auto note = uint8_t(36 + i % 48);
        switch (i % 10) {
        case 0:
        case 1:
        case 2: record.AppendShort(TDirection::In, time, uint8_t(0x90 | channel), note, 100); break;
        case 3:
        case 4:
        case 5: record.AppendShort(TDirection::In, time, uint8_t(0x80 | channel), note, 0); break;
        case 6: record.AppendShort(TDirection::In, time, uint8_t(0xB0 | channel), 7, uint8_t(i % 128)); break;
        case 7: record.AppendShort(TDirection::In, time, uint8_t(0xB0 | channel), 1, uint8_t(i % 128)); break;
        case 8: record.AppendShort(TDirection::In, time, uint8_t(0xE0 | channel), 0, uint8_t(i % 128)); break;
        default: record.AppendShort(TDirection::In, time, 0xFA, 0, 0); break;
        }
    }
}

// What the thread itself spent, apart from the time other processes had the core.
double ThreadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class TAction>
double MedianMilliseconds(int runs, TAction action)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Median(times);
}

// Reads every cell of a screenful of rows, as a view does when it paints.
void ReadRows(const TMonitorTableModel& model, int first, int count)
{
    for (int row = first; row < std::min(model.rowCount(), first + count); ++row)
        for (int column = 0; column < TMonitorTableModel::ColumnCount; ++column)
            model.data(model.index(row, column));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const size_t count = argc > 1 ? size_t(std::atoll(argv[1])) : 10'000'000;
    const double start = AnonymousMegabytes();

    TMessageRecord record;
    QElapsedTimer timer;
    timer.start();
    Fill(record, count);
    const double fillMs = double(timer.nsecsElapsed()) / 1e6;
    const double afterRecord = AnonymousMegabytes();

    TMonitorTableModel model(record);  // every row shown
    const double afterModel = AnonymousMegabytes();

    std::printf("%zu short messages\n", count);
    std::printf("record: %.0f MB anonymous (%.1f bytes a message; the record counts %.1f), appended in %.0f ms\n",
                afterRecord - start, (afterRecord - start) * 1048576 / double(count),
                double(record.MemoryUsed()) / double(count), fillMs);
    std::printf("with the table model showing every row: %.0f MB above the start\n", afterModel - start);

    TMessageFilter notes;
    notes.Groups = 0;
    notes.ShowGroup(TMessageGroup::Notes, true);
    TMessageFilter channel2;
    channel2.Channels = 0x0002;
    TMessageFilter text;
    text.Text = QStringLiteral("ボリューム");
    TMessageFilter noteName;
    noteName.Text = QStringLiteral("c4 (60)");
    const std::pair<const char*, TMessageFilter> filters[] = {
        {"all", TMessageFilter()}, {"notes only", notes}, {"channel 2", channel2},
        {"text \"ボリューム\"", text}, {"text \"c4 (60)\"", noteName}};
    for (const auto& [name, filter] : filters) {
        // From "all" each time; only the change to this filter is timed.
        std::vector<double> times;
        std::vector<double> cpuTimes;
        for (int run = 0; run < 5; ++run) {
            model.SetFilter(TMessageFilter());
            QElapsedTimer t;
            const double cpuStart = ThreadCpuMilliseconds();
            t.start();
            model.SetFilter(filter);
            times.push_back(double(t.nsecsElapsed()) / 1e6);
            cpuTimes.push_back(ThreadCpuMilliseconds() - cpuStart);
        }
        std::printf("filter change to %-18s %7.1f ms (CPU %5.1f ms; medians of 5), %d rows\n", name, Median(times),
                    Median(cpuTimes), model.rowCount());
    }
    std::printf("anonymous memory now: %.0f MB above the start\n", AnonymousMegabytes() - start);

    model.SetFilter(TMessageFilter());
    std::printf("jump to the first rows (40 rows, every column):  %.3f ms\n",
                MedianMilliseconds(5, [&] { ReadRows(model, 0, 40); }));
    std::printf("jump to row 5,000,000 (40 rows, fresh decoder):   %.3f ms\n", [&] {
        TMonitorTableModel fresh(record);
        QElapsedTimer t;
        t.start();
        ReadRows(fresh, 5'000'000, 40);
        return double(t.nsecsElapsed()) / 1e6;
    }());
    std::printf("the last rows (40 rows):                          %.3f ms\n",
                MedianMilliseconds(5, [&] { ReadRows(model, model.rowCount() - 40, 40); }));

    // The Binary page's saves, written from the record (to memory: the disk is not measured).
    {
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        QElapsedTimer t;
        t.start();
        record.WriteReceivedText(file);
        std::printf("the memo's .txt from the record (%.0f MB):         %.0f ms\n", double(file.size()) / 1048576,
                    double(t.nsecsElapsed()) / 1e6);
        file.close();
        file.setData(QByteArray());
        file.open(QIODevice::WriteOnly);
        t.restart();
        record.WriteReceivedBytes(file);
        std::printf("the memo's .syx from the record (%.0f MB):          %.0f ms\n", double(file.size()) / 1048576,
                    double(t.nsecsElapsed()) / 1e6);
    }
    {
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        QElapsedTimer t;
        t.start();
        const QByteArray midiFile = StandardMidiFile(record);
        std::printf("the record as a MIDI file (%.0f MB):                %.0f ms\n", double(midiFile.size()) / 1048576,
                    double(t.nsecsElapsed()) / 1e6);
    }

    // A turn of the event loop at 100,000 messages a second and 100 turns a second.
    std::vector<double> turns;
    for (int turn = 0; turn < 50; ++turn) {
        for (int i = 0; i < 1000; ++i)
            record.AppendShort(TDirection::In, int64_t(count + size_t(turn) * 1000 + size_t(i)) * 10, 0x90, 60, 100);
        QElapsedTimer t;
        t.start();
        model.RecordChanged();
        turns.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("taking in 1,000 new messages:                      %.3f ms (median of 50)\n", Median(turns));
    return 0;
}
