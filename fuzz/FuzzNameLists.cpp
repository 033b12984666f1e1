// note.ini and program.ini as the program reads them, whatever they hold: 128 drum pad names,
// each a name or the note number, and program lines that are exactly the section's named keys.
#include "FuzzSupport.h"
#include "IniFile.h"
#include "NameLists.h"

#include "FuzzInput.h"

namespace {

// The note keys ("000" to "127") and the names shown for notes with none, made once: the
// run's speed is mostly the allocations of each input.
struct TNoteKeys {
    QString Key[128];
    QString Number[128];
    TNoteKeys()
    {
        for (int note = 0; note < 128; ++note) {
            Number[note] = QString::number(note);
            Key[note] = Number[note].rightJustified(3, u'0');
        }
    }
};

void CheckDrumPads(const TIniFile& ini, const QString& section)
{
    static const TNoteKeys notes;
    const QStringList names = DrumPadNames(ini, section);
    FUZZ_CHECK(names.size() == 128, Shown(section));
    for (int note = 0; note < 128; ++note) {
        const QString name = ini.ReadString(section, notes.Key[note], QString());
        FUZZ_CHECK(names[note] == (name.isEmpty() ? notes.Number[note] : name),
                   "note " + std::to_string(note) + ": " + Shown(names[note]));
    }
}

void CheckProgramLines(const TIniFile& ini, const QString& section)
{
    const QStringList lines = ProgramListLines(ini, section);
    qsizetype at = 0;
    for (const auto& [key, value] : ini.SectionEntries(section)) {
        if (value.isEmpty())
            continue;
        FUZZ_CHECK(at < lines.size(), "a program line missing for " + Shown(key));
        const QString& line = lines[at++];
        // The key holds no "=": the line's first one separates it from the name.
        const qsizetype equals = line.indexOf(u'=');
        FUZZ_CHECK(equals > 0 && line.left(equals) == key, Shown(line));
        FUZZ_CHECK(line.mid(equals + 1) == ini.ReadString(section, key, QString()), Shown(line));
    }
    FUZZ_CHECK(at == lines.size(), "program lines that are no key of " + Shown(section));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFuzzInput input(data, size);
    const uint8_t choice = input.ConsumeIntegral<uint8_t>();
    const std::string file = input.ConsumeRemainingBytesAsString();
    static const QString path = ScratchPath("names.ini");
    WriteScratch(path, file.data(), file.size());
    const TIniFile ini = TIniFile::Load(path);
    const QStringList sections = ini.Sections();
    // A listed section, and one the file does not have (an empty choice in the settings).
    const QString section = sections.isEmpty() ? QStringLiteral("Drum") : sections[choice % sections.size()];
    CheckDrumPads(ini, section);
    CheckProgramLines(ini, section);
    // A missing section gives the same result whatever the file holds: one input in eight
    // checks it, which keeps the run fast.
    if (choice % 8 != 0)
        return 0;
    CheckDrumPads(ini, QStringLiteral("\x01none"));
    FUZZ_CHECK(ProgramListLines(ini, QStringLiteral("\x01none")).isEmpty(), "lines of a missing section");
    return 0;
}
