// Readable under a light and a dark desktop palette (Qt's Fusion style): every shown text of the
// main window's pages and of both dialogs contrasts with what it is drawn on, in each state the
// panel paints its indicators in (possibly stale in aqua, sent in silver or the button face, the
// program field white once sent). The colours the program sets itself are aqua, silver, white
// and the drum pads' (from the settings); everything else comes from the palette.
#include "DarkPalette.h"
#include "KelvaneFixture.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

double Luminance(const QColor& color)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) + 0.0722 * channel(rgb.blue());
}

// 1 (none) to 21 (black on white); 4.5 is what running text needs to be read with ease.
double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a control's text is drawn on: its own background where it fills one, else the nearest
// parent's that does.
QColor Underneath(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    return widget->palette().color(QPalette::Window);
}

struct TColours {
    QColor Text;
    QColor Back;
};

// The colours a control draws its text in and on, by its kind; none for a control without text.
std::optional<TColours> TextColours(const QWidget* widget)
{
    const QPalette& p = widget->palette();
    if (qobject_cast<const QPushButton*>(widget) || qobject_cast<const QComboBox*>(widget))
        return TColours{p.color(QPalette::ButtonText), p.color(QPalette::Button)};
    if (qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QPlainTextEdit*>(widget)
        || qobject_cast<const QAbstractItemView*>(widget))
        return TColours{p.color(QPalette::Text), p.color(QPalette::Base)};
    const bool captioned = (qobject_cast<const QLabel*>(widget) && !static_cast<const QLabel*>(widget)->text().isEmpty())
                           || qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget)
                           || qobject_cast<const QGroupBox*>(widget);
    if (captioned)
        return TColours{p.color(widget->foregroundRole()), Underneath(widget)};
    return std::nullopt;
}

QStringList Unreadable(QWidget& top)
{
    QStringList unreadable;
    QList<QWidget*> widgets = top.findChildren<QWidget*>();
    widgets.prepend(&top);
    for (QWidget* widget : std::as_const(widgets)) {
        // Disabled controls are drawn faint on purpose.
        if (!widget->isVisibleTo(&top) || !widget->isEnabled() || qobject_cast<QLineEdit*>(widget))
            continue;
        const std::optional<TColours> colours = TextColours(widget);
        if (colours && Contrast(colours->Text, colours->Back) < 4.5)
            unreadable << QStringLiteral("%1: %2 on %3 (%4:1)")
                              .arg(widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                                  : widget->objectName(),
                                   colours->Text.name(), colours->Back.name())
                              .arg(Contrast(colours->Text, colours->Back), 0, 'f', 1);
    }
    return unreadable;
}

class Palette : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        Before = QApplication::palette();
        BeforeStyle = QApplication::style()->name();
        UseDesktopPalette(GetParam());
        F = std::make_unique<TKelvaneFixture>();
        F->Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&F->Main()));
    }
    void TearDown() override
    {
        F.reset();
        QApplication::setStyle(BeforeStyle);
        QApplication::setPalette(Before);
    }

    QString Page(int index)
    {
        F->Find<QTabWidget>("PageMain")->setCurrentIndex(index);
        QApplication::processEvents();
        return Unreadable(*F->Find<QTabWidget>("PageMain")->widget(index)).join(QLatin1Char('\n'));
    }

    std::unique_ptr<TKelvaneFixture> F;
    QPalette Before;
    QString BeforeStyle;
};

TEST_P(Palette, TheMainPageReadsInEveryStateOfItsIndicators)
{
    // At start every indicator is aqua: the values may differ from the synthesizer's.
    EXPECT_EQ(Page(0).toStdString(), "");
    // A controller sent from its slider: silver; a registered parameter: the button face.
    F->Find<QScrollBar>("ScrollBarVolume")->setValue(90);
    F->Find<QScrollBar>("ScrollBarPitchBendRange")->setValue(4);
    F->Find<QCheckBox>("CheckPortamento")->setChecked(true);
    F->Find<QCheckBox>("CheckSoft")->setChecked(true);
    EXPECT_EQ(Page(0).toStdString(), "");
    // Everything sent: the button face everywhere, the program field white.
    QTest::mouseClick(F->Find<QPushButton>("ButtonSendAll"), Qt::LeftButton);
    EXPECT_EQ(Page(0).toStdString(), "");
    // What each switch fills with is what a user sees: no longer aqua, and the text beside it
    // reads on it.
    const QColor face = F->Find<QTabWidget>("PageMain")->widget(0)->palette().color(QPalette::Button);
    for (const char* name : {"CheckHold1", "CheckSostenuto", "CheckSoft", "CheckMono"}) {
        const QCheckBox* box = F->Find<QCheckBox>(name);
        EXPECT_EQ(box->palette().color(box->backgroundRole()), face) << name;
    }
}

TEST_P(Palette, TheOtherPagesAndTheDialogsRead)
{
    EXPECT_EQ(Page(1).toStdString(), "");
    EXPECT_EQ(Page(2).toStdString(), "");
    for (QDialog* dialog : std::initializer_list<QDialog*>{F->Windows.ProgramList, F->Windows.DrumColor}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_EQ(Unreadable(*dialog).join(QLatin1Char('\n')).toStdString(), "") << dialog->objectName().toStdString();
        dialog->hide();
    }
}

INSTANTIATE_TEST_SUITE_P(Desktop, Palette, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Dark" : "Light"; });

} // namespace
