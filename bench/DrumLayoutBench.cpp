// How long the 128 drum pads take to follow a resize of the window with the drum page active.
// Goal: under 20 ms per resize. Not a test: it prints its figures and always succeeds.
//
//   bench_drum_layout [rounds]      (QT_QPA_PLATFORM defaults to offscreen)

#include "KelvaneFixture.h"
#include "Widgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QResizeEvent>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct TFigures {
    double Median = 0;
    double P95 = 0;
    double Max = 0;
};

TFigures Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    TFigures figures;
    if (ms.empty())
        return figures;
    figures.Median = ms[ms.size() / 2];
    figures.P95 = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    figures.Max = ms.back();
    return figures;
}

void Print(const char* what, const TFigures& figures, size_t rounds)
{
    std::printf("%-58s median %7.3f ms   p95 %7.3f ms   max %7.3f ms   (%zu rounds)\n", what, figures.Median,
                figures.P95, figures.Max, rounds);
}

double Elapsed(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const size_t rounds = argc > 1 ? size_t(std::max(1, std::atoi(argv[1]))) : 300;

    TKelvaneFixture f;
    TMainWindow& main = f.Main();
    QWidget* panel = f.Find<QWidget>("PanelDrum");
    main.resize(700, 520);
    main.show();
    QApplication::processEvents();

    // The first showing of the drum page lays the pads out for the first time.
    QElapsedTimer timer;
    timer.start();
    f.Find<QTabWidget>("PageMain")->setCurrentIndex(1);
    QApplication::processEvents();
    const double firstShow = Elapsed(timer);

    // The layout alone: the panel changes size, and the pads follow inside that one call.
    std::vector<double> layout;
    const QSize base = panel->size();
    for (size_t i = 0; i < rounds; ++i) {
        const QSize size = base + (i % 2 ? QSize(71, 41) : QSize(0, 0));  // every cell changes size
        timer.restart();
        panel->resize(size);  // visible: the resize reaches the window's layout code at once
        layout.push_back(Elapsed(timer));
    }
    QApplication::processEvents();

    // What the user waits for: the window resized, every event handled, the page repainted.
    std::vector<double> whole;
    const QSize sizes[] = {QSize(700, 520), QSize(780, 580), QSize(713, 531), QSize(660, 470)};
    for (size_t i = 0; i < rounds; ++i) {
        timer.restart();
        main.resize(sizes[i % std::size(sizes)]);
        QApplication::processEvents();
        whole.push_back(Elapsed(timer));
    }

    // Sanity: the last pad is where the grid puts it.
    const TDrumPad* last = f.Drums().Pad(127);
    const int w = panel->width() / 7;
    const int h = panel->height() / 20;
    const bool placed = last->geometry() == QRect(6 * w, 7 * h, w, h);

    std::printf("Drum pad layout, 128 pads, Qt %s, platform %s\n", qVersion(),
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-58s %7.3f ms\n", "first showing of the drum page (layout + paint)", firstShow);
    Print("re-layout when PanelDrum changes size", Summarise(layout), layout.size());
    Print("window resize, events handled and page repainted", Summarise(whole), whole.size());
    std::printf("goal: under 20 ms per resize; last pad %s\n", placed ? "in place" : "NOT in place");
    return 0;
}
