// The INI reader and writer on any file: what the readers give agrees with itself, and a write
// followed by a save and a new load changes the one value written and nothing else.
#include "FuzzSupport.h"
#include "IniFile.h"

#include "FuzzInput.h"

#include <QSet>

#include <climits>

namespace {

using TEntries = QList<QPair<QString, QString>>;

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A plain reading of the integer rule, for the values it gives.
std::optional<int> Integer(const QString& text)
{
    int base = 10;
    QString digits = text;
    bool negative = false;
    if (text.startsWith(u'$')) {
        base = 16;
        digits = text.mid(1);
    } else if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X"))) {
        base = 16;
        digits = text.mid(2);
    } else if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.startsWith(u'-');
        digits = text.mid(1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        const bool decimal = c >= u'0' && c <= u'9';
        const bool hex = (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!decimal && !(base == 16 && hex))
            return std::nullopt;
    }
    while (digits.size() > 1 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    if (digits.size() > 10)
        return std::nullopt;
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const qint64 signedValue = negative ? -value : value;
    if (signedValue < INT_MIN || signedValue > INT_MAX)
        return std::nullopt;
    return int(signedValue);
}

// Names match in any letter case, letter by letter: the other case of a name is the same name
// unless a letter's capital is two letters (U+0149 becomes U+02BC N) or another letter's (the
// dotless i's capital is I, whose small letter is i).
bool SameLetters(const QString& name, const QString& otherCase)
{
    return name.toCaseFolded() == otherCase.toCaseFolded();
}

void CheckReaders(const TIniFile& ini, const QString& where)
{
    const QStringList sections = ini.Sections();
    QSet<QString> folded;
    for (const QString& section : sections) {
        FUZZ_CHECK(!section.isEmpty(), Shown(where));
        FUZZ_CHECK(!folded.contains(section.toCaseFolded()), "a section listed twice: " + Shown(section));
        folded.insert(section.toCaseFolded());
        FUZZ_CHECK(ini.SectionExists(section), Shown(section));
        if (SameLetters(section, section.toUpper()))
            FUZZ_CHECK(ini.SectionExists(section.toUpper()), "case matters for " + Shown(section));
        QSet<QString> keys;
        for (const auto& [key, value] : ini.SectionEntries(section)) {
            FUZZ_CHECK(!key.isEmpty(), "an empty key in [" + Shown(section) + "]");
            FUZZ_CHECK(!keys.contains(key.toCaseFolded()), "key listed twice: " + Shown(key.toUtf8()));
            keys.insert(key.toCaseFolded());
            FUZZ_CHECK(ini.KeyExists(section, key), Shown(key));
            FUZZ_CHECK(ini.ReadString(section, key, QStringLiteral("\x01")) == value, Shown(key));
            if (SameLetters(section, section.toLower()) && SameLetters(key, key.toUpper()))
                FUZZ_CHECK(ini.ReadString(section.toLower(), key.toUpper(), QStringLiteral("\x01")) == value,
                           "case matters for " + Shown(key));
            FUZZ_CHECK(value.size() <= TIniFile::MaxValueBytes, Shown(value));
            FUZZ_CHECK(!value.contains(u'\r') && !value.contains(u'\n'), Shown(value));
            FUZZ_CHECK(value.isEmpty() || (!IsBlank(value.front()) && !IsBlank(value.back())), Shown(value));
            FUZZ_CHECK(!key.contains(u'=') && !IsBlank(key.front()) && !IsBlank(key.back()), Shown(key));
            const std::optional<int> integer = Integer(value);
            const int read = ini.ReadInteger(section, key, 17);
            const int readOther = ini.ReadInteger(section, key, -4);
            FUZZ_CHECK(integer ? (read == *integer && readOther == *integer) : (read == 17 && readOther == -4),
                       "integer " + Shown(value) + " read as " + std::to_string(read));
            FUZZ_CHECK(ini.ReadBool(section, key, true) == (integer ? *integer != 0 : true), Shown(value));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFuzzInput input(data, size);
    const bool write = input.ConsumeBool();
    const uint8_t sectionChoice = input.ConsumeIntegral<uint8_t>();
    const uint8_t keyChoice = input.ConsumeIntegral<uint8_t>();
    const std::string valueBytes = input.ConsumeRandomLengthString(64);
    const std::string file = input.ConsumeRemainingBytesAsString();

    static const QString path = ScratchPath("fuzz.ini");
    WriteScratch(path, file.data(), file.size());
    TIniFile ini = TIniFile::Load(path);
    CheckReaders(ini, "as loaded");
    if (!write)
        return 0;

    // Write one value: into an existing key, a new key of an existing section, or a new section.
    const QStringList before = ini.Sections();
    QString section = QStringLiteral("FuzzSection");
    QString key = QStringLiteral("FuzzKey");
    if (!before.isEmpty() && sectionChoice % 4 != 0) {
        section = before[sectionChoice % before.size()];
        const TEntries entries = ini.SectionEntries(section);
        // A key of the file's own that starts with "[" is one no caller writes: with a "]" in
        // the value its line would read as a section header.
        if (!entries.isEmpty() && keyChoice % 4 != 0 && !entries[keyChoice % entries.size()].first.startsWith(u'['))
            key = entries[keyChoice % entries.size()].first;
    }
    if (ini.SectionExists(section) && !before.contains(section, Qt::CaseInsensitive))
        return 0;  // "FuzzSection" as a file's own, unlisted (it has an empty twin): not this test
    QHash<QString, TEntries> entriesBefore;
    for (const QString& s : before)
        entriesBefore.insert(s, ini.SectionEntries(s));
    const QString value = QString::fromUtf8(valueBytes.data(), qsizetype(valueBytes.size()));
    QString expected = value;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    while (!expected.isEmpty() && IsBlank(expected.front()))
        expected.remove(0, 1);
    while (!expected.isEmpty() && IsBlank(expected.back()))
        expected.chop(1);
    ini.WriteString(section, key, value);
    FUZZ_CHECK(ini.ReadString(section, key, QString()) == expected, "written " + Shown(value));
    CheckReaders(ini, "after the write");

    QString error;
    FUZZ_CHECK(ini.Save(&error), "save failed: " + error.toStdString());
    const TIniFile again = TIniFile::Load(path);
    CheckReaders(again, "saved and loaded again");
    FUZZ_CHECK(again.ReadString(section, key, QString()) == expected,
               "saved " + Shown(expected.toUtf8()) + " read " + Shown(again.ReadString(section, key, QString()).toUtf8()) +
                   " in [" + Shown(section) + "] " + Shown(key));
    QStringList after = again.Sections();
    if (!before.contains(section, Qt::CaseInsensitive))
        FUZZ_CHECK(!after.isEmpty() && after.takeLast() == section, "the new section is not last");
    FUZZ_CHECK(after == before, "sections changed by a write");
    for (const QString& s : before) {
        TEntries entries = again.SectionEntries(s);
        TEntries expectedEntries = entriesBefore.value(s);
        if (s.compare(section, Qt::CaseInsensitive) == 0) {
            bool replaced = false;
            for (auto& entry : expectedEntries) {
                if (entry.first.compare(key, Qt::CaseInsensitive) == 0) {
                    entry.second = expected;
                    replaced = true;
                }
            }
            if (!replaced)
                expectedEntries.append({key, expected});
        }
        for (qsizetype i = 0; i < std::min(entries.size(), expectedEntries.size()); ++i)
            FUZZ_CHECK(entries[i] == expectedEntries[i],
                       "in [" + Shown(s) + "] " + Shown(entries[i].first) + "=" + Shown(entries[i].second) +
                           " was " + Shown(expectedEntries[i].first) + "=" + Shown(expectedEntries[i].second));
        FUZZ_CHECK(entries.size() == expectedEntries.size(), "keys of [" + Shown(s) + "] changed");
    }
    return 0;
}
