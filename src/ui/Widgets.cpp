#include "Widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QGuiApplication>
#include <QScreen>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

TScreenGeometry CurrentScreens()
{
    TScreenGeometry screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        screens.Desktop = primary->virtualGeometry();
        screens.Primary = primary->geometry().size();
    }
    return screens;
}

QColor ColorFromNumber(uint32_t number)
{
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

uint32_t NumberFromColor(const QColor& color)
{
    return uint32_t(color.red()) | uint32_t(color.green()) << 8 | uint32_t(color.blue()) << 16;
}

QColor ReadableTextOn(const QColor& background)
{
    // Relative luminance, as the contrast rules for text weigh the three primaries.
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = background.toRgb();
    const double luminance = 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) + 0.0722 * channel(rgb.blue());
    // Where black and white would contrast equally: (L + 0.05)² = 0.05 · 1.05.
    return luminance > 0.179 ? QColor(Qt::black) : QColor(Qt::white);
}

void PaintBackground(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    // A label fills with the window colour, a check box with the button colour: set the role the
    // widget fills with, and the one its text is drawn in.
    QPalette p = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, widget->backgroundRole()})
        p.setColor(role, color);
    for (const QPalette::ColorRole role : {QPalette::WindowText, widget->foregroundRole()})
        p.setColor(role, ReadableTextOn(color));
    widget->setPalette(p);
}

QFont FontFromSetting(const TFontSetting& setting)
{
    QFont font(setting.Name);
    font.setPointSize(setting.Size > 0 ? std::min(setting.Size, LargestFontSize) : TFontSetting().Size);
    font.setBold(setting.Bold);
    font.setItalic(setting.Italic);
    return font;
}

TFontSetting SettingFromFont(const QFont& font, int characterSet)
{
    return TFontSetting{font.family(), font.pointSize() > 0 ? font.pointSize() : TFontSetting().Size, characterSet,
                        font.bold(), font.italic()};
}

namespace {

// Free pixels kept between a caption that grows and its neighbours.
constexpr int CaptionGap = 3;

bool HasJapanese(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF);
    });
}

QString ShownCaption(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        QString text = button->text();
        return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    }
    return {};
}

// The width a caption's text takes in `font`, its ink included.
int TextWidth(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return std::max(metrics.horizontalAdvance(text), metrics.tightBoundingRect(text).right() + 1);
}

// The room around `control` that no sibling takes: for each side, up to the nearest sibling
// across the control's span on the other axis. `across` is the span to look across.
int FreeLeft(const QWidget* control, int anchor, int top, int bottom, int limit)
{
    for (const QObject* child : control->parentWidget()->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(child);
        if (!sibling || sibling == control || sibling->isWindow() || sibling->isHidden())
            continue;
        const QRect r = sibling->geometry();
        if (r.bottom() >= top && r.top() <= bottom && r.right() < anchor)
            limit = std::max(limit, r.right() + 1 + CaptionGap);
    }
    return limit;
}

int FreeRight(const QWidget* control, int anchor, int top, int bottom, int limit)
{
    for (const QObject* child : control->parentWidget()->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(child);
        if (!sibling || sibling == control || sibling->isWindow() || sibling->isHidden())
            continue;
        const QRect r = sibling->geometry();
        if (r.bottom() >= top && r.top() <= bottom && r.left() > anchor)
            limit = std::min(limit, r.left() - 1 - CaptionGap);
    }
    return limit;
}

int FreeTop(const QWidget* control, int anchor, int left, int right, int limit)
{
    for (const QObject* child : control->parentWidget()->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(child);
        if (!sibling || sibling == control || sibling->isWindow() || sibling->isHidden())
            continue;
        const QRect r = sibling->geometry();
        if (r.right() >= left && r.left() <= right && r.bottom() < anchor)
            limit = std::max(limit, r.bottom() + 1 + CaptionGap);
    }
    return limit;
}

int FreeBottom(const QWidget* control, int anchor, int left, int right, int limit)
{
    for (const QObject* child : control->parentWidget()->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(child);
        if (!sibling || sibling == control || sibling->isWindow() || sibling->isHidden())
            continue;
        const QRect r = sibling->geometry();
        if (r.right() >= left && r.left() <= right && r.top() > anchor)
            limit = std::min(limit, r.top() - 1 - CaptionGap);
    }
    return limit;
}

// `place` made `height` tall where the room above and below allows: as much above as below, and
// what one side cannot take on the other.
QRect GrownTaller(const QWidget* control, QRect place, int height, const QRect& room)
{
    const int middle = place.center().y();
    const int top = std::min(place.top(), FreeTop(control, middle, place.left(), place.right(), room.top()));
    const int bottom = std::max(place.bottom(), FreeBottom(control, middle, place.left(), place.right(), room.bottom()));
    const int missing = height - place.height();
    const int up = std::min(place.top() - top, (missing + 1) / 2);
    const int down = std::min(bottom - place.bottom(), missing - up);
    place.setTop(place.top() - std::min(place.top() - top, missing - down));
    place.setBottom(place.bottom() + down);
    return place;
}

// The size a caption needs in the font it has now.
QSize NeededSize(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const QMargins margins = label->contentsMargins();
        const int extra = margins.left() + margins.right() + 2 * label->margin();
        return {TextWidth(label->font(), label->text()) + extra,
                QFontMetrics(label->font()).height() + margins.top() + margins.bottom() + 2 * label->margin()};
    }
    if (const auto* box = qobject_cast<const QAbstractButton*>(control);
        qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control)) {
        // The style draws the text in its contents rectangle, after the indicator.
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect contents = box->style()->subElementRect(
            qobject_cast<const QRadioButton*>(control) ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents,
            &option, box);
        return {contents.left() + TextWidth(box->font(), ShownCaption(box)) + 1, box->sizeHint().height()};
    }
    return control->sizeHint();
}

// Grows `control` into the free room around it, as far as its caption needs: sideways away from
// the edge its text is aligned to (then the other way, if that is not enough), up and down
// about its middle. A control that reaches into a neighbour is drawn back to its free room.
// True when the caption then fits.
bool GrowIntoFreeRoom(QWidget* control, const QRect& room)
{
    const QSize needed = NeededSize(control);
    QRect place = control->geometry();
    Qt::Alignment alignment = Qt::AlignLeft;
    if (const auto* label = qobject_cast<const QLabel*>(control))
        alignment = label->alignment();
    const bool toTheLeft = alignment & Qt::AlignRight;
    const int anchor = toTheLeft ? place.right() : place.left();
    const int left = FreeLeft(control, anchor, place.top(), place.bottom(), room.left());
    const int right = FreeRight(control, anchor, place.top(), place.bottom(), room.right());
    place.setLeft(std::max(place.left(), left));
    place.setRight(std::min(place.right(), right));
    const int missing = needed.width() - place.width();
    if (missing > 0) {
        const int first = toTheLeft ? std::min(missing, place.left() - left) : std::min(missing, right - place.right());
        const int second = std::min(missing - first, toTheLeft ? right - place.right() : place.left() - left);
        place.setLeft(place.left() - (toTheLeft ? first : second));
        place.setRight(place.right() + (toTheLeft ? second : first));
    }

    if (needed.height() > place.height())
        place = GrownTaller(control, place, needed.height(), room);
    control->setGeometry(place);
    return needed.width() <= place.width();
}

// A group box too small for its items grows down into free room, and one too narrow for its
// title or its widest item to the right. An item needs the height of its indicator or of a
// line of its text, whichever is more.
void GrowGroupIntoFreeRoom(QGroupBox* group, const QRect& room)
{
    QRect place = group->geometry();
    int width = TextWidth(group->font(), group->title()) + 10;  // with the room the style keeps at its ends
    if (const QLayout* layout = group->layout()) {
        const QMargins margins = layout->contentsMargins();
        const int frameWidth = group->width() - group->contentsRect().width() + margins.left() + margins.right();
        int height = group->height() - group->contentsRect().height() + margins.top() + margins.bottom();
        int items = 0;
        for (const QObject* child : group->children()) {
            const auto* item = qobject_cast<const QAbstractButton*>(child);
            if (!item)
                continue;
            width = std::max(width, NeededSize(item).width() + frameWidth);
            const int indicator = item->style()->pixelMetric(
                qobject_cast<const QRadioButton*>(item) ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight,
                nullptr, item);
            height += std::max(indicator, QFontMetrics(item->font()).height());
            ++items;
        }
        height += std::max(0, items - 1) * std::max(0, layout->spacing());
        if (height > place.height())
            place.setBottom(std::max(place.bottom(), std::min(FreeBottom(group, place.bottom(), place.left(), place.right(), room.bottom()),
                                                              place.top() + height - 1)));
    }
    if (width > place.width())
        place.setRight(std::max(place.right(), std::min(FreeRight(group, place.right(), place.top(), place.bottom(), room.right()),
                                                        place.left() + width - 1)));
    group->setGeometry(place);
}

// The room a push button's bevel leaves its caption.
int ButtonTextRoom(const QPushButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width()
           - 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
}

// The width a caption has for its text in the control's present place.
int TextRoom(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QPushButton*>(control))
        return ButtonTextRoom(button);
    return control->width() - (NeededSize(control).width() - TextWidth(control->font(), ShownCaption(control)));
}

bool CaptionFits(const QWidget* control)
{
    return TextWidth(control->font(), ShownCaption(control)) <= TextRoom(control);
}

void StepSmaller(QWidget* control)
{
    QFont smaller = control->font();
    if (smaller.pixelSize() > 0)
        smaller.setPixelSize(smaller.pixelSize() - 1);
    else
        smaller.setPointSizeF(smaller.pointSizeF() - 1);
    control->setFont(smaller);
}

// The same face set narrower, as little as the caption's room asks.
void Condense(QWidget* control)
{
    const QFont base = control->font();
    const int start = std::min(99, 2 + 100 * TextRoom(control) / std::max(1, TextWidth(base, ShownCaption(control))));
    for (int stretch = start; stretch >= 50 && !CaptionFits(control); --stretch) {
        QFont narrow = base;
        narrow.setStretch(stretch);
        control->setFont(narrow);
    }
}

} // namespace

void FitCaptionsToTheirPlaces(QWidget* page, const QRect& room)
{
    for (QWidget* control : page->findChildren<QWidget*>()) {
        if (auto* group = qobject_cast<QGroupBox*>(control)) {
            GrowGroupIntoFreeRoom(group, room);
            continue;
        }
        const QString text = ShownCaption(control);
        if (text.isEmpty() || control->parentWidget() != page)
            continue;
        auto* label = qobject_cast<QLabel*>(control);
        auto* button = qobject_cast<QAbstractButton*>(control);
        if (qobject_cast<TDrumPad*>(control))
            continue;  // a drum pad fits its name itself, in the font the user chose
        const bool mayGrow = label || qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control);
        if (!label && !button)
            continue;
        if (mayGrow && GrowIntoFreeRoom(control, room) && CaptionFits(control))
            continue;
        if (!mayGrow && CaptionFits(control))
            continue;
        const QFont drawnFor = control->font();
        if (!HasJapanese(text)) {
            StepSmaller(control);
            if (mayGrow)
                GrowIntoFreeRoom(control, room);
            if (CaptionFits(control))
                continue;
        }
        if (label && label->wordWrap()) {
            // Wrapped as it was drawn, in its own font, into the room above and below.
            label->setFont(drawnFor);
            const QRect lines = QFontMetrics(drawnFor).boundingRect(QRect(0, 0, label->width(), 1000),
                                                                    Qt::TextWordWrap, text);
            QRect place = label->geometry();
            if (lines.height() > place.height())
                place = GrownTaller(label, place, lines.height(), room);
            label->setGeometry(place);
            continue;
        }
        Condense(control);
    }
}

TKeyShape::TKeyShape(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TKeyShape::SetFill(const QColor& color)
{
    if (color == FFill)
        return;
    FFill = color;
    update();
}

void TKeyShape::Press()
{
    emit MouseDown(Qt::LeftButton);
    emit MouseUp(Qt::LeftButton);
}

void TKeyShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), FFill);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TKeyShape::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button());
}

void TKeyShape::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseUp(event->button());
}

void TKeyShape::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    emit MouseDown(event->button());
}

TDrumPad::TDrumPad(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAutoFillBackground(true);
}

void TDrumPad::SetShownText(const QString& shown)
{
    if (shown == FShown)
        return;
    FShown = shown;
    update();
}

void TDrumPad::SetInkExtent(int above, int below)
{
    if (above == FInkAbove && below == FInkBelow)
        return;
    FInkAbove = above;
    FInkBelow = below;
    update();
}

QRect TDrumPad::TextArea() const
{
    // Two pixels from the frame on the left, one on the right: the text never touches it.
    return contentsRect().adjusted(2, 0, -1, 0);
}

void TDrumPad::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QStringList lines = ShownText().split(QLatin1Char('\n'));
    const QFontMetrics metrics(font());
    int above = FInkAbove;
    int below = FInkBelow;
    if (above == 0 && below == 0) {
        for (const QString& line : lines) {
            const QRect ink = metrics.tightBoundingRect(line);
            above = std::max(above, -ink.top());
            below = std::max(below, ink.bottom() + 1);
        }
    }
    // The block of lines, from the top of the first line's ink to the bottom of the last's,
    // centred in the pad's height; where it is taller, its top is shown.
    const QRect area = TextArea();
    const int block = above + below + int(lines.size() - 1) * metrics.lineSpacing();
    int baseline = area.top() + std::max(0, (area.height() - block) / 2) + above;
    painter.setClipRect(contentsRect());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    for (const QString& line : lines) {
        painter.drawText(QPoint(area.left(), baseline), line);
        baseline += metrics.lineSpacing();
    }
}

TElidedLabel::TElidedLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TElidedLabel::SetWholeText(const QString& text)
{
    setText(text);
    setAccessibleName(text);
    UpdateToolTip();
}

QString TElidedLabel::ShownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QSize TElidedLabel::minimumSizeHint() const
{
    return {0, QLabel::minimumSizeHint().height()};
}

void TElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()), ShownText());
}

void TElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    UpdateToolTip();
}

void TElidedLabel::UpdateToolTip()
{
    setToolTip(ShownText() == text() ? QString() : text());
}

void TDrumPad::SetColors(uint32_t back, uint32_t fore)
{
    FBack = back;
    FFore = fore;
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorFromNumber(back));
    p.setColor(QPalette::WindowText, ColorFromNumber(fore));
    setPalette(p);
}

void TDrumPad::Press()
{
    emit MouseDown(Qt::LeftButton);
    emit MouseUp(Qt::LeftButton);
}

void TDrumPad::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button());
}

void TDrumPad::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseUp(event->button());
}

void TDrumPad::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit MouseDown(event->button());
}

namespace {

bool Shown = true;

class THintFilter final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!Shown) {
            QToolTip::hideText();
            return true;
        }
        if (!widget || widget->toolTip().isEmpty())
            return false;  // Qt passes it on to the parent, whose hint it is (a list's viewport)
        const auto* help = static_cast<QHelpEvent*>(event);
        QString text = widget->toolTip();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QToolTip::showText(help->globalPos(), text, widget, QRect(), 5000);
        return true;
    }
};

} // namespace

void SetHintsShown(bool shown)
{
    Shown = shown;
    if (!shown)
        QToolTip::hideText();
}

bool HintsShown()
{
    return Shown;
}

void InstallHintFilter()
{
    static THintFilter* filter = nullptr;
    if (!filter && qApp) {
        filter = new THintFilter;
        filter->setParent(qApp);
        qApp->installEventFilter(filter);
    }
}

namespace {

// A key or a pad as a push button: its name is the widget's accessible name, and its press
// action is a click.
template <class TPressable>
class TAccessiblePressable final : public QAccessibleWidget {
public:
    explicit TAccessiblePressable(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<TPressable*>(widget())->Press();
    }
};

QAccessibleInterface* PressableFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TKeyShape"))
        return new TAccessiblePressable<TKeyShape>(static_cast<QWidget*>(object));
    if (className == QLatin1String("TDrumPad"))
        return new TAccessiblePressable<TDrumPad>(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void InstallAccessibleButtons()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(PressableFactory);
        installed = true;
    }
}
