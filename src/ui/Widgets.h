#pragma once
// The small widget classes the windows are made of, beyond Qt's own.

#include "Settings.h"

#include <QComboBox>
#include <QLabel>
#include <QWidget>

// The program keeps colours as blue·65536 + green·256 + red; widgets take QColor.
QColor ColorFromNumber(uint32_t number);
uint32_t NumberFromColor(const QColor& color);

// Black on a light background, white on a dark one: text that stays readable on a colour the
// program sets (aqua, silver, white) whatever the desktop's palette is.
QColor ReadableTextOn(const QColor& background);
// A control's background in `color`, its text in the colour readable on it.
void PaintBackground(QWidget* widget, const QColor& color);

// A font as the settings file keeps it, and back. A size Qt cannot show (0 or below) gives the
// stored default; one beyond the largest size is cut to it: beyond what the font dialog offers,
// it only comes from a hand-edited file and makes every repaint slow.
constexpr int LargestFontSize = 512;
QFont FontFromSetting(const TFontSetting& setting);
TFontSetting SettingFromFont(const QFont& font, int characterSet);

// The captions of a page drawn for a narrower face than the machine has (the layout's positions
// and sizes stay): a label, check box or radio button too small for its text takes the room the
// page leaves free beside it (within `room`, the page as drawn), a group box too small for its
// items the room below and to its right; what still does not fit gets a font a step smaller, and
// Japanese text is then set narrower, as Japanese type is (長体). Latin text is never condensed
// while a step smaller fits: a condensed Latin face reads as another, smaller font.
void FitCaptionsToTheirPlaces(QWidget* page, const QRect& room);

// A plain rectangle with a one-pixel black outline: one key of the on-screen keyboard.
class TKeyShape final : public QWidget {
    Q_OBJECT
public:
    explicit TKeyShape(QWidget* parent = nullptr);
    void SetFill(const QColor& color);
    QColor Fill() const { return FFill; }
    void Press();  // a left click: press, then release

signals:
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor FFill = Qt::white;
};

// A framed static text reporting presses and releases of any button: a drum pad, and the preview
// pad of its dialog. Its text is the whole name, as its hint and accessible name give it; it
// shows that name, or a shorter form the page chose to fit it (lines of a wrapped name part at
// "\n"), left-aligned and centred in its height so that every glyph is whole.
class TDrumPad final : public QLabel {
    Q_OBJECT
public:
    explicit TDrumPad(QWidget* parent = nullptr);
    void SetColors(uint32_t back, uint32_t fore);
    uint32_t BackColor() const { return FBack; }
    uint32_t ForeColor() const { return FFore; }
    void Press();  // a left click: press, then release

    // What the pad shows; empty: its text.
    void SetShownText(const QString& shown);
    QString ShownText() const { return FShown.isEmpty() ? text() : FShown; }
    // The ink of the font above and below the baseline, in pixels, that the pad centres in its
    // height: one for all pads of a page, so that their names stand on one line. Unset (0, 0):
    // the ink of the pad's own text.
    void SetInkExtent(int above, int below);
    // The room a line of text has inside the frame.
    QRect TextArea() const;

signals:
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    uint32_t FBack = 0;
    uint32_t FFore = 0;
    QString FShown;
    int FInkAbove = 0;
    int FInkBelow = 0;
};

// A one-line text that never widens its window: what does not fit ends in "…", and its tooltip
// then gives the whole text, as its accessible name always does.
class TElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit TElidedLabel(QWidget* parent = nullptr);
    void SetWholeText(const QString& text);
    QString ShownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateToolTip();
};

// A list box that says when its list is about to open, so that it can be read afresh.
class TPortComboBox final : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        emit AboutToShowPopup();
        QComboBox::showPopup();
    }

signals:
    void AboutToShowPopup();
};

// The desktop and the primary screen, as the placement checks of the settings want them.
TScreenGeometry CurrentScreens();

// Hints: tooltips shown for 5000 ms, and only while the hint display is on.
void SetHintsShown(bool shown);
bool HintsShown();
void InstallHintFilter();

// Keys and pads are shown to assistive technology as buttons whose press action plays the
// note and releases it, as a click does.
void InstallAccessibleButtons();
