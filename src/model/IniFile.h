#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One INI file held in memory: the settings file, note.ini and program.ini are all read with these
// rules, and the settings file is written back keeping every line this class does not own.
//
// Reading:
// - section and key names compare without regard to case;
// - a key that occurs twice in a section: the first line counts; a section that occurs twice: only
//   its first occurrence is the section (keys under a later header of the same name are not seen),
//   as the profile functions of the system the older versions ran on behave;
// - a value is the text after the first "=", without leading and trailing blanks (spaces, tabs),
//   at most MaxValueBytes bytes of it as stored in the file;
// - lines end with CR LF, LF or CR; lines starting with ';' or '#' and lines without "=" are not
//   key lines; lines before the first section belong to no section;
// - the file is UTF-8 (with or without byte-order mark) when its bytes are valid UTF-8, else
//   Shift-JIS (code page 932), the encoding of files brought from older versions.
//
// The whole file is kept as bytes; key lookups are indexed per section on first use, so a huge or
// binary file loads in about the time it takes to read it. Not thread-safe: the lookup index is
// built lazily inside the const readers.
class TIniFile {
public:
    // Values longer than this (in bytes as stored in the file) are cut.
    static constexpr int MaxValueBytes = 2047;

    TIniFile() = default;

    // A missing or unreadable file gives an empty one; the path is kept for Save either way.
    static TIniFile Load(const QString& path);

    QString Path() const;

    // Writes the file as UTF-8 (with a byte-order mark if the loaded file had one) through a
    // temporary file beside it that then replaces it, so a failed save leaves the old file intact.
    // On failure returns false and sets *errorText (when given) to the system's reason.
    bool Save(QString* errorText);

    // Section names in file order, each name once (first spelling), empty names left out.
    QStringList Sections() const;
    bool SectionExists(const QString& section) const;
    bool KeyExists(const QString& section, const QString& key) const;
    // Distinct keys of the section in order of first appearance, each with its first value; keys as
    // written in the file (trimmed). Empty values are included.
    QList<QPair<QString, QString>> SectionEntries(const QString& section) const;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal with optional sign, "$" followed by hexadecimal digits, or "0x"/"0X" followed by
    // hexadecimal digits; anything else, and anything beyond a 32-bit int, gives the default.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    // Read as an integer with default 1 or 0; any nonzero value is true.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    // Replace the key's first line in its section (the key keeps its spelling from the file), or
    // add "key=value" after the section's last key line; a missing section is added at the end of
    // the file. All other lines stay as they are.
    // Line breaks inside the arguments are written as blanks, so a value can never add lines.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

private:
    enum class TEncoding { Utf8, ShiftJis };

    // Byte offsets into FData. A section's body runs from BodyStart (the line after its header) to
    // End (the next header or the end of the file).
    struct TSection {
        QString Name;
        qsizetype HeaderStart = 0;
        qsizetype BodyStart = 0;
        qsizetype End = 0;
    };
    struct TKeyLine {
        QString Key;
        qsizetype LineStart = 0;
        qsizetype LineEnd = 0;  // before the line break
        qsizetype ValueStart = 0;
        qsizetype ValueEnd = 0;  // blanks already trimmed on both sides
    };
    struct TKeyTable {
        std::vector<TKeyLine> Lines;  // first line of each distinct key, in file order
        QHash<QString, int> ByFoldedKey;
        qsizetype AfterLastKeyLine = -1;  // start of the line after the last key line, any key
    };

    void Index();
    int FindSection(const QString& section) const;
    const TKeyTable& KeyTable(int sectionIndex) const;
    const TKeyLine* FindKey(const QString& section, const QString& key) const;
    QString Decode(const char* data, qsizetype size) const;
    QString ValueText(const TKeyLine& line) const;
    void ConvertToUtf8();
    void Splice(int sectionIndex, qsizetype position, qsizetype removed, const QByteArray& inserted);

    QString FPath;
    QByteArray FData;  // the file without its byte-order mark
    TEncoding FEncoding = TEncoding::Utf8;
    bool FByteOrderMark = false;
    QByteArray FLineBreak = "\n";
    std::vector<TSection> FSections;  // every header line, in file order
    QHash<QString, int> FFirstSection;  // case-folded name -> index of its first header
    mutable std::vector<std::optional<TKeyTable>> FKeyTables;  // per entry of FSections
};
