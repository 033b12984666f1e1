// A stored font to a QFont and back: the sizes that cannot be shown, and what is kept as it is.
#include "Widgets.h"

#include <gtest/gtest.h>

namespace {

struct TSizeCase {
    int Stored;
    int Shown;  // points
};

class FontFromStoredSize : public testing::TestWithParam<TSizeCase> {};

TEST_P(FontFromStoredSize, ShowsAUsableSize)
{
    const TFontSetting stored{QStringLiteral("DejaVu Sans"), GetParam().Stored, 128, true, false};
    const QFont font = FontFromSetting(stored);
    EXPECT_EQ(font.pointSize(), GetParam().Shown);
    EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
}

INSTANTIATE_TEST_SUITE_P(Sizes, FontFromStoredSize,
                         testing::Values(TSizeCase{9, 9}, TSizeCase{72, 72}, TSizeCase{LargestFontSize, LargestFontSize},
                                         TSizeCase{LargestFontSize + 1, LargestFontSize}, TSizeCase{100000, LargestFontSize},
                                         TSizeCase{0, 9}, TSizeCase{-12, 9}));

TEST(StoredFont, RoundTripKeepsEveryFieldAndTheCharacterSet)
{
    for (const TFontSetting& stored : {TFontSetting{QStringLiteral("Noto Sans CJK JP"), 14, 0, false, true},
                                       TFontSetting{QStringLiteral("ＭＳ Ｐゴシック"), 9, 128, true, true}}) {
        EXPECT_EQ(SettingFromFont(FontFromSetting(stored), stored.CharacterSet), stored) << stored.Name.toStdString();
    }
}

TEST(StoredFont, AFontSizedInPixelsIsStoredAtTheDefaultSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);  // pointSize() is −1 then
    EXPECT_EQ(SettingFromFont(font, 128).Size, TFontSetting().Size);
}

} // namespace
