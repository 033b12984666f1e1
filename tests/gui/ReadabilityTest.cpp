// Nothing cut off and nothing overlapping, in Japanese and in English, on the main and drum pages
// and in both dialogs at their default sizes, with the fonts the machine has: what a person reading a
// screenshot would find. A caption is cut when the pixels its control paints are fewer than a
// copy of it given room all round paints; a push button's caption must fit inside its bevel;
// controls side by side must not share pixels. Run at QT_SCALE_FACTOR=2 too (gui_readable_scaled).
#include "KelvaneFixture.h"
#include "Language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextLayout>
#include <QtMath>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Room given to a copy on every side: far more than any caption overflows by.
constexpr int Room = 60;

// Pixels a widget paints inside its frame that are not its background: the ink of its text and
// decorations. A frame is left out: a larger copy has a longer one.
int InkPixels(QWidget& widget)
{
    const QPixmap picture = widget.grab();
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const auto* frame = qobject_cast<const QFrame*>(&widget);
    const QRect inside = frame ? frame->contentsRect() : widget.rect();
    const qreal scale = picture.devicePixelRatio();
    const QRect pixels(QPoint(qRound(inside.left() * scale), qRound(inside.top() * scale)),
                       QSize(qRound(inside.width() * scale), qRound(inside.height() * scale)));
    const QRgb background = widget.palette().color(widget.backgroundRole()).rgba();
    int ink = 0;
    for (int y = pixels.top(); y <= pixels.bottom() && y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = pixels.left(); x <= pixels.right() && x < image.width(); ++x)
            if (qAlpha(line[x]) != 0 && line[x] != background)
                ++ink;
    }
    return ink;
}

void CopyLook(const QWidget& from, QWidget& to)
{
    to.setFont(from.font());
    to.setPalette(from.palette());
    to.setAutoFillBackground(from.autoFillBackground());
    to.setLayoutDirection(from.layoutDirection());
}

// A copy of the control with `room` more pixels on each side (and the same width when its text
// wraps, so that it wraps the same), or none for a kind this check does not copy.
std::unique_ptr<QWidget> RoomyCopy(const QWidget& control)
{
    if (const auto* pad = qobject_cast<const TDrumPad*>(&control)) {
        auto copy = std::make_unique<TDrumPad>();
        CopyLook(*pad, *copy);
        copy->setText(pad->text());
        copy->SetShownText(pad->ShownText());
        copy->resize(pad->width() + 2 * Room, pad->height() + 2 * Room);
        return copy;
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        auto copy = std::make_unique<QLabel>();
        CopyLook(*label, *copy);
        copy->setTextFormat(label->textFormat());
        copy->setText(label->text());
        copy->setAlignment(label->alignment());
        copy->setWordWrap(label->wordWrap());
        copy->setMargin(label->margin());
        copy->setIndent(label->indent());
        copy->setFrameStyle(label->frameStyle());
        copy->resize(label->width() + (label->wordWrap() ? 0 : 2 * Room), label->height() + 2 * Room);
        return copy;
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        auto copy = std::make_unique<QCheckBox>(box->text());
        CopyLook(*box, *copy);
        copy->setChecked(box->isChecked());
        copy->resize(box->width() + 2 * Room, box->height() + 2 * Room);
        return copy;
    }
    if (const auto* radio = qobject_cast<const QRadioButton*>(&control)) {
        auto copy = std::make_unique<QRadioButton>(radio->text());
        CopyLook(*radio, *copy);
        copy->setChecked(radio->isChecked());
        copy->resize(radio->width() + 2 * Room, radio->height() + 2 * Room);
        return copy;
    }
    return nullptr;
}

QString Describe(const QWidget& widget)
{
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        text = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        text = button->text();
    else if (const auto* group = qobject_cast<const QGroupBox*>(&widget))
        text = group->title();
    return (widget.objectName().isEmpty() ? QString::fromLatin1(widget.metaObject()->className()) : widget.objectName())
           + " \"" + text + "\"";
}

// The ink of a push button's caption, drawn centred in the part its bevel leaves, must lie
// inside the bevel.
bool ButtonCaptionFits(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QRect contents = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    const QFontMetrics metrics(button.font());
    QString text = button.text();
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    // The line as the style lays it out: its ascent is that of the tallest face it uses.
    QTextLayout layout(text, button.font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const int top = contents.top() + (contents.height() - qCeil(line.height())) / 2;
    const int left = contents.left() + (contents.width() - metrics.horizontalAdvance(text)) / 2;
    const QRect ink = metrics.tightBoundingRect(text).translated(left, top + qRound(line.ascent()));
    const int bevel = button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    return button.rect().adjusted(bevel, bevel, -bevel, -bevel).contains(ink);
}

bool GroupTitleFits(const QGroupBox& group)
{
    const QFontMetrics metrics(group.font());
    QString title = group.title();
    title.remove(QLatin1Char('&'));
    return metrics.horizontalAdvance(title) <= group.width() - 8;
}

// The captions of every shown control under `top` that are cut.
QStringList CutCaptions(QWidget& top)
{
    QStringList cut;
    for (QWidget* control : top.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&top) || control->width() <= 0 || control->height() <= 0)
            continue;
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            if (!button->text().isEmpty() && !ButtonCaptionFits(*button))
                cut << Describe(*control);
            continue;
        }
        if (auto* group = qobject_cast<QGroupBox*>(control)) {
            if (!GroupTitleFits(*group))
                cut << Describe(*control);
            continue;
        }
        std::unique_ptr<QWidget> copy = RoomyCopy(*control);
        if (!copy)
            continue;
        const int shown = InkPixels(*control);
        const int whole = InkPixels(*copy);
        if (shown < whole)
            cut << Describe(*control) + QStringLiteral(" (%1 of %2 pixels)").arg(shown).arg(whole);
    }
    return cut;
}

// Shown controls side by side that share pixels. The black keys lie over the white ones by
// design; a control's own parts are its children, not its neighbours.
QStringList Overlaps(QWidget& top)
{
    QStringList overlaps;
    QList<QWidget*> parents = top.findChildren<QWidget*>();
    parents.prepend(&top);
    for (QWidget* parent : std::as_const(parents)) {
        if (parent->objectName() == QLatin1String("PanelNote"))
            continue;
        QList<QWidget*> shown;
        for (QObject* child : parent->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget && !widget->isWindow() && widget->isVisibleTo(&top) && !widget->objectName().isEmpty()
                && !widget->objectName().startsWith(QLatin1String("qt_")))
                shown << widget;
        }
        for (qsizetype i = 0; i < shown.size(); ++i)
            for (qsizetype j = i + 1; j < shown.size(); ++j)
                if (shown[i]->geometry().intersects(shown[j]->geometry()))
                    overlaps << Describe(*shown[i]) + " and " + Describe(*shown[j]);
    }
    return overlaps;
}

struct TWindowCase {
    const char* Name;
    TLanguage Language;
    int Page;  // 0 or 1 a page of the main window; -1 the program dialog, -2 the drum dialog
};

class Readability : public testing::TestWithParam<TWindowCase> {
protected:
    void SetUp() override { ASSERT_TRUE(UseLanguage(GetParam().Language)); }
    void TearDown() override
    {
        F.reset();
        UseLanguage(TLanguage::Japanese);
    }

    // The window or dialog of the case, shown at its default size and laid out.
    QWidget& Shown()
    {
        F = std::make_unique<TKelvaneFixture>();
        const int page = GetParam().Page;
        QWidget* window = &F->Main();
        if (page == -1)
            window = F->Windows.ProgramList;
        if (page == -2)
            window = F->Windows.DrumColor;
        if (page >= 0) {
            F->Main().show();
            F->Find<QTabWidget>("PageMain")->setCurrentIndex(page);
        } else {
            window->show();
        }
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
        if (page >= 0)
            return *F->Find<QTabWidget>("PageMain")->widget(page);
        return *window;
    }

    std::unique_ptr<TKelvaneFixture> F;
};

TEST_P(Readability, NoCaptionIsCut)
{
    QWidget& shown = Shown();
    EXPECT_EQ(CutCaptions(shown).join(QLatin1Char('\n')).toStdString(), "");
}

TEST_P(Readability, NoControlsOverlap)
{
    QWidget& shown = Shown();
    EXPECT_EQ(Overlaps(shown).join(QLatin1Char('\n')).toStdString(), "");
}

const TWindowCase WindowCases[] = {
    {"MainPageJapanese", TLanguage::Japanese, 0},    {"MainPageEnglish", TLanguage::English, 0},
    {"DrumPageJapanese", TLanguage::Japanese, 1},    {"DrumPageEnglish", TLanguage::English, 1},
    {"ProgramListJapanese", TLanguage::Japanese, -1}, {"ProgramListEnglish", TLanguage::English, -1},
    {"DrumColorJapanese", TLanguage::Japanese, -2},   {"DrumColorEnglish", TLanguage::English, -2},
};

INSTANTIATE_TEST_SUITE_P(Windows, Readability, testing::ValuesIn(WindowCases),
                         [](const testing::TestParamInfo<TWindowCase>& info) { return std::string(info.param.Name); });

} // namespace
