// Names cut to a room with "…", and never cut so that two pads read the same. Widths here are
// counted in characters; the drum page measures them in pixels of the pads' font.
#include "IniFile.h"
#include "NameLists.h"
#include "ShortNames.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QString DataFolder()
{
    return QFileInfo(QString::fromUtf8(__FILE__)).dir().filePath("../../data");
}

int Characters(const QString& text)
{
    return int(text.size());
}

TEST(ShortNames, ANameThatFitsIsWhole)
{
    EXPECT_EQ(ShortName("Cowbell", 7, Characters), "Cowbell");
    EXPECT_EQ(ShortName("Cowbell", 20, Characters), "Cowbell");
}

TEST(ShortNames, ALongNameKeepsItsBeginningAndEndsInAnEllipsis)
{
    EXPECT_EQ(ShortName("Acoustic Bass Drum", 12, Characters), "Acoustic Ba…");
    // A cut just after a word leaves no blank before the ellipsis.
    EXPECT_EQ(ShortName("Acoustic Bass Drum", 10, Characters), "Acoustic…");
    EXPECT_EQ(ShortName("Drum", 1, Characters), "…");
}

TEST(ShortNames, ACharacterOfTwoUnitsIsNeverSplit)
{
    const QString name = QStringLiteral("ab\U0001F941cd");  // a drum emoji, two UTF-16 units
    EXPECT_EQ(ShortName(name, 4, Characters), "ab…");
}

struct TLookAlikeCase {
    const char* Name;
    QStringList Names;
    int Room;
    QStringList Shown;
};

class LookAlikes : public testing::TestWithParam<TLookAlikeCase> {};

TEST_P(LookAlikes, KeepWhatTellsThemApart)
{
    EXPECT_EQ(DistinctShortNames(GetParam().Names, GetParam().Room, Characters), GetParam().Shown);
}

const TLookAlikeCase LookAlikeCases[] = {
    {"NumberedCymbals", {"Crash Cymbal 1", "Crash Cymbal 2"}, 10, {"Crash Cy…1", "Crash Cy…2"}},
    {"JapaneseDrums", {"アコースティック・バスドラム", "アコースティック・スネア"}, 7, {"ア…バスドラム", "アコー…スネア"}},
    {"OnlyTheLookAlikesMove",
     {"Ride Cymbal 1", "Ride Cymbal 2", "Ride Bell"}, 8, {"Ride C…1", "Ride C…2", "Ride Be…"}},
    {"ADifferenceInsideAWord", {"Kick1", "Kick2"}, 4, {"Ki…1", "Ki…2"}},
    {"TheSameNameReadsTheSame", {"Tom", "Tom"}, 2, {"T…", "T…"}},
    {"ANameThatIsTheBeginningOfAnother", {"Tom", "Tom 2"}, 2, {"T…", "…2"}},
    {"NamesThatFitStayWhole", {"Low Tom", "High Tom"}, 8, {"Low Tom", "High Tom"}},
};

INSTANTIATE_TEST_SUITE_P(Table, LookAlikes, testing::ValuesIn(LookAlikeCases),
                         [](const testing::TestParamInfo<TLookAlikeCase>& info) { return std::string(info.param.Name); });

// Every list shipped in note.ini, in every room from a few characters up: names that differ
// read differently, and each fits its room.
TEST(ShortNames, TheShippedDrumListsNeverReadTheSame)
{
    const TIniFile note = TIniFile::Load(QDir(DataFolder()).filePath("note.ini"));
    ASSERT_FALSE(note.Sections().isEmpty());
    for (const QString& list : note.Sections()) {
        const QStringList names = DrumPadNames(note, list);
        for (int room = 7; room <= 30; ++room) {
            const QStringList shown = DistinctShortNames(names, room, Characters);
            ASSERT_EQ(shown.size(), names.size());
            QHash<QString, QString> nameOf;
            for (qsizetype i = 0; i < names.size(); ++i) {
                EXPECT_LE(Characters(shown[i]), room) << list.toStdString() << " " << shown[i].toStdString();
                EXPECT_TRUE(shown[i] == names[i] || shown[i].contains(QChar(0x2026))) << shown[i].toStdString();
                const auto earlier = nameOf.constFind(shown[i]);
                if (earlier != nameOf.cend()) {
                    EXPECT_EQ(*earlier, names[i]) << list.toStdString() << " room " << room << ": "
                                                  << shown[i].toStdString() << " reads as two names";
                }
                nameOf.insert(shown[i], names[i]);
            }
        }
    }
}

} // namespace
