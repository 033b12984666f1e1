#include "Widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
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

void NarrowCaptionsToFit(QWidget* page)
{
    for (QWidget* control : page->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(control);
        auto* box = qobject_cast<QAbstractButton*>(control);
        const QString text = label ? label->text() : box ? box->text() : QString();
        if (text.isEmpty() || (label && label->wordWrap()))
            continue;
        const int room = label ? label->width() : box->width() - (qobject_cast<QCheckBox*>(box) ? 20 : 8);
        const int needed = control->fontMetrics().horizontalAdvance(text);
        if (needed > room && room > 0) {
            QFont narrow = control->font();
            narrow.setStretch(std::max(50, 100 * room / needed));
            control->setFont(narrow);
        }
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
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    setAutoFillBackground(true);
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
