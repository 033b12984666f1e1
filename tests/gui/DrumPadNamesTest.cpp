// What the drum pads show of their names through the real window, in both languages and at
// several window widths: a name that fits is shown whole; one that does not is shortened with
// "…" or wrapped onto the lines the pad has room for, every line within the pad's text room;
// two pads with different names never show the same text; the hint and the accessible name keep
// the whole name.
#include "GuiTest.h"
#include "Language.h"

#include <QFontMetrics>
#include <QHash>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TPadCase {
    const char* Name;
    TLanguage Language;
    int WindowWidth;
    int WindowHeight;
    bool SomeShortened;  // the shipped lists hold names longer than a pad of this size
    bool SomeWrapped;    // a pad tall enough for two lines shows a long name whole on them
};

class DrumPadNames : public testing::TestWithParam<TPadCase> {
protected:
    void TearDown() override { UseLanguage(TLanguage::Japanese); }
};

TEST_P(DrumPadNames, ReadWholeOrShortenedAndNeverTheSame)
{
    ASSERT_TRUE(UseLanguage(GetParam().Language));
    TKelvaneFixture f;
    ShowPage(f, 1);
    f.Main().resize(GetParam().WindowWidth, GetParam().WindowHeight);
    QCoreApplication::processEvents();

    QHash<QString, QString> nameShowing;
    int shortened = 0;
    int wrapped = 0;
    for (int note = 0; note < 128; ++note) {
        const TDrumPad* pad = f.Drums().Pad(note);
        const QString name = pad->text();
        const QString shown = pad->ShownText();
        SCOPED_TRACE(QStringLiteral("%1 \"%2\" shows \"%3\"").arg(note).arg(name, shown).toStdString());
        const QFontMetrics metrics(pad->font());
        for (const QString& line : shown.split(QLatin1Char('\n')))
            EXPECT_LE(metrics.horizontalAdvance(line), pad->TextArea().width());
        if (shown != name) {
            ++shortened;
            wrapped += shown.contains(QLatin1Char('\n')) ? 1 : 0;
            EXPECT_TRUE(shown.contains(QChar(0x2026)) || QString(shown).replace(QLatin1Char('\n'), QString()).remove(QLatin1Char(' '))
                                                             == QString(name).remove(QLatin1Char(' ')));
        }
        const auto other = nameShowing.constFind(shown);
        if (other != nameShowing.cend()) {
            EXPECT_EQ(*other, name) << "two pads read the same";
        }
        nameShowing.insert(shown, name);
        EXPECT_EQ(pad->toolTip(), name);
        EXPECT_EQ(pad->accessibleName(), QStringLiteral("%1 (%2)").arg(name).arg(note));
    }
    EXPECT_EQ(shortened > 0, GetParam().SomeShortened) << shortened;
    EXPECT_EQ(wrapped > 0, GetParam().SomeWrapped) << wrapped;
}

const TPadCase PadCases[] = {
    {"JapaneseAtTheDefaultSize", TLanguage::Japanese, 635, 440, true, false},
    {"EnglishAtTheDefaultSize", TLanguage::English, 635, 440, true, false},
    {"JapaneseNarrow", TLanguage::Japanese, 420, 440, true, false},
    {"EnglishNarrow", TLanguage::English, 420, 440, true, false},
    // Tall pads wrap a long name onto more lines.
    {"JapaneseNarrowAndTall", TLanguage::Japanese, 420, 1000, true, true},
    {"EnglishWideEnoughForEveryName", TLanguage::English, 900, 440, false, false},
};

INSTANTIATE_TEST_SUITE_P(Table, DrumPadNames, testing::ValuesIn(PadCases),
                         [](const testing::TestParamInfo<TPadCase>& info) { return std::string(info.param.Name); });

} // namespace
