#include "IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <climits>
#include <cstring>

namespace {

// A settings or name list file is a few kilobytes; anything this large is not one, and reading it
// whole would only exhaust memory.
constexpr qint64 MaxFileBytes = qint64(1) << 30;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Calls f(lineStart, lineEnd, nextLineStart) for every line in [from, to); lineEnd excludes the
// line break (CR LF, LF or CR). memchr keeps a 100 MB file to a fraction of a second.
template <class F>
void ForEachLine(const QByteArray& data, qsizetype from, qsizetype to, F&& f)
{
    const char* base = data.constData();
    qsizetype nextCr = from - 1;  // < position: not searched yet; == to: none left
    qsizetype nextLf = from - 1;
    auto find = [&](qsizetype position, char c) {
        const void* hit = std::memchr(base + position, c, size_t(to - position));
        return hit ? qsizetype(static_cast<const char*>(hit) - base) : to;
    };
    qsizetype position = from;
    while (position < to) {
        if (nextCr < position)
            nextCr = find(position, '\r');
        if (nextLf < position)
            nextLf = find(position, '\n');
        const qsizetype end = std::min(nextCr, nextLf);
        qsizetype next = end;
        if (end < to)
            next = (base[end] == '\r' && end + 1 < to && base[end + 1] == '\n') ? end + 2 : end + 1;
        f(position, end, next);
        position = next;
    }
}

qsizetype SkipBlanks(const char* base, qsizetype from, qsizetype to)
{
    while (from < to && IsBlank(base[from]))
        ++from;
    return from;
}

qsizetype TrimBlanksBack(const char* base, qsizetype from, qsizetype to)
{
    while (to > from && IsBlank(base[to - 1]))
        --to;
    return to;
}

QString TrimBlanks(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && (text[from] == u' ' || text[from] == u'\t'))
        ++from;
    while (to > from && (text[to - 1] == u' ' || text[to - 1] == u'\t'))
        --to;
    return text.mid(from, to - from);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    const auto* end = p + data.size();
    while (p < end) {
        // ASCII runs are the bulk of any INI file: step over them eight bytes at a time.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p >= end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;  // overlong
            if (c == 0xED)
                high = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        if (p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i < length; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += length;
    }
    return true;
}

bool IsShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsShiftJisTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

std::optional<int> ParseHex(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c.unicode() - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
        // No wrap-around into negative numbers: $FFFFFFFF is out of range, not -1.
        if (value > INT_MAX)
            return std::nullopt;
    }
    return int(value);
}

std::optional<int> ParseInteger(const QString& text)
{
    if (text.startsWith(u'$'))
        return ParseHex(QStringView(text).mid(1));
    // "0x" alone is not hexadecimal; it fails as a decimal below.
    if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X")))
        return ParseHex(QStringView(text).mid(2));
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return int(value);
}

// A line break written into a value would turn the rest of it into lines of their own.
QString OneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

TIniFile TIniFile::Load(const QString& path)
{
    TIniFile ini;
    ini.FPath = path;
    // Only regular files: opening a pipe or a device for reading could wait for ever.
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && file.size() <= MaxFileBytes) {
        QByteArray data = file.readAll();
        if (file.error() == QFileDevice::NoError)
            ini.FData = std::move(data);
    }
    if (ini.FData.startsWith("\xEF\xBB\xBF")) {
        // A byte-order mark settles it: stray invalid bytes then decode as replacement characters.
        ini.FByteOrderMark = true;
        ini.FData.remove(0, 3);
    } else if (!IsValidUtf8(ini.FData)) {
        ini.FEncoding = TEncoding::ShiftJis;
    }
    const qsizetype cr = ini.FData.indexOf('\r');
    const qsizetype lf = ini.FData.indexOf('\n');
    if (cr >= 0 && (lf < 0 || cr < lf))
        ini.FLineBreak = (lf == cr + 1) ? "\r\n" : "\r";
    ini.Index();
    return ini;
}

QString TIniFile::Path() const
{
    return FPath;
}

bool TIniFile::Save(QString* errorText)
{
    auto fail = [&](const QString& reason) {
        if (errorText)
            *errorText = reason;
        return false;
    };
    if (FPath.isEmpty())
        return fail(QStringLiteral("No file name"));
    ConvertToUtf8();
    QSaveFile file(FPath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // Qt 6.4 reports a short write without an error and commits even after a failed flush (a full
    // disk, a size limit): check every step and discard the temporary file ourselves.
    const bool written = (!FByteOrderMark || file.write("\xEF\xBB\xBF", 3) == 3) && file.write(FData) == FData.size();
    if (!written || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("Write failed");
        file.cancelWriting();  // the temporary file goes with `file`
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

void TIniFile::Index()
{
    FSections.clear();
    FFirstSection.clear();
    const char* base = FData.constData();
    ForEachLine(FData, 0, FData.size(), [&](qsizetype start, qsizetype end, qsizetype next) {
        const qsizetype p = SkipBlanks(base, start, end);
        if (p == end || base[p] != '[')
            return;
        // No "]" byte at all: not a header (checked on bytes first so binary junk is not decoded).
        if (!std::memchr(base + p, ']', size_t(end - p)))
            return;
        // ']' may be the second byte of a Shift-JIS character: look for it in the decoded text.
        const QString text = Decode(base + p + 1, end - p - 1);
        const qsizetype close = text.lastIndexOf(u']');
        if (close < 0)
            return;
        if (!FSections.empty())
            FSections.back().End = start;
        TSection section;
        section.Name = TrimBlanks(text.left(close));
        section.HeaderStart = start;
        section.BodyStart = next;
        section.End = FData.size();
        FSections.push_back(std::move(section));
    });
    // Backwards, so that the first header of each name is the one left in the table.
    for (int i = int(FSections.size()) - 1; i >= 0; --i)
        FFirstSection.insert(FSections[size_t(i)].Name.toCaseFolded(), i);
    FKeyTables.assign(FSections.size(), std::nullopt);
}

int TIniFile::FindSection(const QString& section) const
{
    return FFirstSection.value(section.toCaseFolded(), -1);
}

const TIniFile::TKeyTable& TIniFile::KeyTable(int sectionIndex) const
{
    std::optional<TKeyTable>& cached = FKeyTables[size_t(sectionIndex)];
    if (cached)
        return *cached;
    TKeyTable table;
    const TSection& section = FSections[size_t(sectionIndex)];
    const char* base = FData.constData();
    ForEachLine(FData, section.BodyStart, section.End, [&](qsizetype start, qsizetype end, qsizetype next) {
        const qsizetype p = SkipBlanks(base, start, end);
        if (p == end || base[p] == ';' || base[p] == '#')
            return;
        // '=' is never the second byte of a Shift-JIS character, so bytes can be searched.
        const void* hit = std::memchr(base + p, '=', size_t(end - p));
        if (!hit)
            return;
        const qsizetype equals = static_cast<const char*>(hit) - base;
        const qsizetype keyEnd = TrimBlanksBack(base, p, equals);
        if (keyEnd == p)
            return;
        table.AfterLastKeyLine = next;
        TKeyLine line;
        line.Key = Decode(base + p, keyEnd - p);
        const QString folded = line.Key.toCaseFolded();
        if (table.ByFoldedKey.contains(folded))
            return;
        line.LineStart = start;
        line.LineEnd = end;
        line.ValueStart = SkipBlanks(base, equals + 1, end);
        line.ValueEnd = TrimBlanksBack(base, line.ValueStart, end);
        table.ByFoldedKey.insert(folded, int(table.Lines.size()));
        table.Lines.push_back(std::move(line));
    });
    cached = std::move(table);
    return *cached;
}

const TIniFile::TKeyLine* TIniFile::FindKey(const QString& section, const QString& key) const
{
    const int index = FindSection(section);
    if (index < 0)
        return nullptr;
    const TKeyTable& table = KeyTable(index);
    const int line = table.ByFoldedKey.value(key.toCaseFolded(), -1);
    return line < 0 ? nullptr : &table.Lines[size_t(line)];
}

QString TIniFile::Decode(const char* data, qsizetype size) const
{
    if (FEncoding == TEncoding::Utf8) {
        // Not fromUtf8, which drops a byte-order mark at the start: a key or value that begins
        // with U+FEFF would lose it ("\uFEFF=1" read as an empty key).
        thread_local QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                                     QStringConverter::Flag::ConvertInitialBom);
        return utf8.decode(QByteArrayView(data, size));
    }
    // Qt's ICU converter; "windows-31j" is code page 932 with its NEC and IBM extensions and the
    // Microsoft mappings (0x8160 is U+FF5E). Stateless: an incomplete character never leaks into
    // the next call.
    thread_local QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
    // The converter drops a lead byte that has no second byte after it ("037=" + lead byte read
    // as no name, a key of one lead byte as no key): each becomes a replacement character, as any
    // other byte that is no character does. Blanks, '=' and line breaks are never second bytes,
    // so a key, a value and their whole line decode alike.
    QString text;
    qsizetype from = 0;
    qsizetype i = 0;
    while (i < size) {
        if (!IsShiftJisLeadByte(static_cast<unsigned char>(data[i]))) {
            ++i;
        } else if (i + 1 < size && IsShiftJisTrailByte(static_cast<unsigned char>(data[i + 1]))) {
            i += 2;
        } else {
            text += decoder.decode(QByteArrayView(data + from, i - from));
            text += QChar(QChar::ReplacementCharacter);
            from = ++i;
        }
    }
    text += decoder.decode(QByteArrayView(data + from, size - from));
    return text;
}

QString TIniFile::ValueText(const TKeyLine& line) const
{
    const char* value = FData.constData() + line.ValueStart;
    qsizetype size = line.ValueEnd - line.ValueStart;
    if (size > MaxValueBytes) {
        size = MaxValueBytes;
        // Cut before a character the limit would split, not through it.
        if (FEncoding == TEncoding::Utf8) {
            while (size > 0 && (static_cast<unsigned char>(value[size]) & 0xC0) == 0x80)
                --size;
        } else {
            qsizetype whole = 0;
            while (whole < size) {
                const qsizetype length = IsShiftJisLeadByte(static_cast<unsigned char>(value[whole])) ? 2 : 1;
                if (whole + length > size)
                    break;
                whole += length;
            }
            size = whole;
        }
        size = TrimBlanksBack(value, 0, size);
    }
    return Decode(value, size);
}

QStringList TIniFile::Sections() const
{
    QStringList names;
    for (size_t i = 0; i < FSections.size(); ++i) {
        const TSection& section = FSections[i];
        if (!section.Name.isEmpty() && FindSection(section.Name) == int(i))
            names.append(section.Name);
    }
    return names;
}

bool TIniFile::SectionExists(const QString& section) const
{
    return !section.isEmpty() && FindSection(section) >= 0;
}

bool TIniFile::KeyExists(const QString& section, const QString& key) const
{
    return FindKey(section, key) != nullptr;
}

QList<QPair<QString, QString>> TIniFile::SectionEntries(const QString& section) const
{
    QList<QPair<QString, QString>> entries;
    const int index = FindSection(section);
    if (index < 0)
        return entries;
    for (const TKeyLine& line : KeyTable(index).Lines)
        entries.append({line.Key, ValueText(line)});
    return entries;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const TKeyLine* line = FindKey(section, key);
    return line ? ValueText(*line) : defaultValue;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    const TKeyLine* line = FindKey(section, key);
    if (!line)
        return defaultValue;
    return ParseInteger(ValueText(*line)).value_or(defaultValue);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::ConvertToUtf8()
{
    if (FEncoding == TEncoding::Utf8)
        return;
    // Line by line, as the readers decode it: decoding the whole text at once let the converter
    // take a line break as the second byte of a lone lead byte before it, and change the value.
    QByteArray converted;
    converted.reserve(FData.size() + FData.size() / 2);
    ForEachLine(FData, 0, FData.size(), [&](qsizetype start, qsizetype end, qsizetype next) {
        converted += Decode(FData.constData() + start, end - start).toUtf8();
        converted += QByteArrayView(FData.constData() + end, next - end);
    });
    FData = std::move(converted);
    FEncoding = TEncoding::Utf8;
    Index();
}

void TIniFile::Splice(int sectionIndex, qsizetype position, qsizetype removed, const QByteArray& inserted)
{
    FData.replace(position, removed, inserted);
    const qsizetype delta = inserted.size() - removed;
    for (size_t i = 0; i < FSections.size(); ++i) {
        TSection& section = FSections[i];
        // The edited section's own header and body start stay put when the edit begins right there;
        // a header that begins exactly at the edit belongs to a later section and moves down.
        const bool edited = int(i) == sectionIndex;
        if (section.HeaderStart > position || (section.HeaderStart == position && !edited))
            section.HeaderStart += delta;
        if (section.BodyStart > position || (section.BodyStart == position && !edited))
            section.BodyStart += delta;
        if (section.End >= position)
            section.End += delta;
    }
    FKeyTables.assign(FSections.size(), std::nullopt);
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    ConvertToUtf8();
    const QByteArray line = OneLine(key).toUtf8() + '=' + OneLine(value).toUtf8();
    const bool endsOpen = !FData.isEmpty() && !IsLineBreak(FData.back());
    const int index = FindSection(section);
    if (index < 0) {
        QByteArray added;
        if (endsOpen)
            added += FLineBreak;
        if (!FSections.empty())
            FSections.back().End = FData.size() + added.size();
        TSection created;
        created.Name = OneLine(section);
        created.HeaderStart = FData.size() + added.size();
        added += '[' + created.Name.toUtf8() + ']' + FLineBreak;
        created.BodyStart = FData.size() + added.size();
        added += line + FLineBreak;
        FData += added;
        created.End = FData.size();
        FFirstSection.insert(created.Name.toCaseFolded(), int(FSections.size()));
        FSections.push_back(std::move(created));
        FKeyTables.assign(FSections.size(), std::nullopt);
        return;
    }
    const TKeyTable& table = KeyTable(index);
    const int existing = table.ByFoldedKey.value(key.toCaseFolded(), -1);
    if (existing >= 0) {
        // The key keeps its spelling from the file; only the value changes.
        const TKeyLine& old = table.Lines[size_t(existing)];
        const QByteArray replaced = old.Key.toUtf8() + '=' + OneLine(value).toUtf8();
        Splice(index, old.LineStart, old.LineEnd - old.LineStart, replaced);
        return;
    }
    const qsizetype position = table.AfterLastKeyLine >= 0 ? table.AfterLastKeyLine : FSections[size_t(index)].BodyStart;
    QByteArray inserted;
    if (position > 0 && !IsLineBreak(FData[position - 1]))
        inserted += FLineBreak;
    inserted += line + FLineBreak;
    Splice(index, position, 0, inserted);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
