// Measures the checksum index of the raw editor on memos of 1 MiB as a loaded file shows them
// (lines of 256 bytes, a line break after every F7): reading the whole text (both pairings), a
// keystroke in the middle (the index's share of the 16 ms a keystroke may take), fixing every
// wrong sum, and the byte count the page computes today by copying and counting the whole text,
// which the index's own count can replace. Prints figures; never fails.
#include "ChecksumIndex.h"
#include "HexText.h"
#include "SysexSamples.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

// This thread's processor time: on a machine shared with builds, what the work itself costs.
double CpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct TFigures {
    double Median = 0;  // wall-clock
    double Max = 0;
    double CpuMedian = 0;
};

template <class TWork>
TFigures Measure(int rounds, TWork work)
{
    std::vector<double> times;
    std::vector<double> cpu;
    QElapsedTimer clock;
    for (int i = 0; i < rounds; ++i) {
        const double cpuStart = CpuMs();
        clock.start();
        work(i);
        times.push_back(Ms(clock.nsecsElapsed()));
        cpu.push_back(CpuMs() - cpuStart);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    return {times[times.size() / 2], times.back(), cpu[cpu.size() / 2]};
}

void BenchMemo(const char* what, const QByteArray& bytes)
{
    const QString text = BytesToHexLines(bytes, 256);
    std::printf("%s: %lld bytes, %lld characters\n", what, static_cast<long long>(bytes.size()),
                static_cast<long long>(text.size()));

    const TFigures count = Measure(20, [&](int) {
        QString copy = text;
        copy.detach();  // the page copies the document's text before counting
        volatile int digits = CountHexDigits(copy);
        (void)digits;
    });
    std::printf("  byte count as today (copy + count):          median %6.2f ms, max %6.2f ms, processor %6.2f ms\n",
                count.Median, count.Max, count.CpuMedian);

    TChecksumIndex index;
    const TFigures load = Measure(5, [&](int) { index.SetText(text); });
    std::printf("  index of the whole text (a file loaded):      median %6.2f ms, max %6.2f ms, processor %6.2f ms; "
                "%zu wrong\n", load.Median, load.Max, load.CpuMedian, index.WrongMessages().size());

    // A digit typed and taken back: every pair after it shifts.
    const qsizetype middle = text.size() / 2;
    qsizetype read = 0;
    const TFigures shifting = Measure(20, [&](int i) {
        if (i % 2 == 0)
            index.Replace(middle, 0, u"0");
        else
            index.Replace(middle, 1, {});
        read = std::max(read, index.LastReadLength());
    });
    std::printf("  keystroke in the middle, pairs shifted:       median %6.3f ms, max %6.3f ms, processor %6.3f ms; "
                "read at most %lld characters\n", shifting.Median, shifting.Max, shifting.CpuMedian,
                static_cast<long long>(read));

    // A digit typed over another: the pairs stay.
    const qsizetype digitAt = text.indexOf(QLatin1Char('1'), middle);
    read = 0;
    const TFigures over = Measure(20, [&](int i) {
        index.Replace(digitAt, 1, i % 2 ? u"1" : u"2");
        read = std::max(read, index.LastReadLength());
    });
    std::printf("  digit typed over in the middle:               median %6.3f ms, max %6.3f ms, processor %6.3f ms; "
                "read at most %lld characters\n", over.Median, over.Max, over.CpuMedian, static_cast<long long>(read));

    const TFigures view = Measure(20, [&](int i) {
        volatile size_t shown = index.WrongMessagesBetween(middle + i * 100, middle + i * 100 + 4000).size();
        (void)shown;
    });
    std::printf("  wrong messages of one screen (4,000 chars):   median %6.4f ms, max %6.4f ms\n", view.Median,
                view.Max);

    QList<TDigitEdit> edits;
    const TFigures fix = Measure(5, [&](int) { edits = index.FixEdits(); });
    QString fixedText;
    const TFigures apply = Measure(5, [&](int) { fixedText = ApplyDigitEdits(text, edits); });
    std::printf("  fix every one: edits %6.2f ms (%lld characters), new text %6.2f ms (processor %6.2f ms)\n",
                fix.Median, static_cast<long long>(edits.size()), apply.Median, apply.CpuMedian);
}

}  // namespace

int main()
{
    BenchMemo("1 MiB, one message of another maker", OneBigMessage(1024 * 1024));
    int wrong = 0;
    const QByteArray sets = DataSets(1024 * 1024, &wrong);
    std::printf("(%d of the data sets below are wrong)\n", wrong);
    BenchMemo("1 MiB of GS data sets", sets);
    return 0;
}
