#include "Settings.h"

#include "IniFile.h"
#include "MonitorTableModel.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

namespace {

const QString FormMain = QStringLiteral("FormMain");
const QString Midi = QStringLiteral("Midi");
const QString NoteParameter = QStringLiteral("NoteParameter");
const QString ProgramChange = QStringLiteral("ProgramChange");
const QString ControlChange = QStringLiteral("ControlChange");
const QString SystemExclusiveSend = QStringLiteral("SystemExclusiveSend");
const QString FilePath = QStringLiteral("FilePath");
const QString ColorDialog = QStringLiteral("ColorDialog");
const QString FormProgramList = QStringLiteral("FormProgramList");
const QString MidiMonitor = QStringLiteral("MidiMonitor");

// An integer within [low, high], else the default.
int ReadRanged(const TIniFile& ini, const QString& section, const QString& key, int defaultValue, int low, int high)
{
    const int value = ini.ReadInteger(section, key, defaultValue);
    return value >= low && value <= high ? value : defaultValue;
}

int ReadByte(const TIniFile& ini, const QString& section, const QString& key, int defaultValue)
{
    return ReadRanged(ini, section, key, defaultValue, 0, 127);
}

// Colour numbers are 24-bit RGB. Negative numbers (system colours of the older versions) have no
// meaning here and would become arbitrary colours, so they fall back to the default.
int ReadColour(const TIniFile& ini, const QString& key, int defaultValue)
{
    return ReadRanged(ini, FormMain, key, defaultValue, 0, 0xFFFFFF);
}

// A saved position further down or right than 100 pixels before the primary screen's edge would
// put the window out of reach.
int ReadPosition(const TIniFile& ini, const QString& section, const QString& key, int screenExtent, int fallback)
{
    const int value = ini.ReadInteger(section, key, fallback);
    return value > screenExtent - 100 ? fallback : value;
}

// The five keys a font is kept under; each font of the file names them its own way.
struct TFontKeys {
    const char* Name;
    const char* Size;
    const char* CharacterSet;
    const char* Bold;
    const char* Italic;
};
constexpr TFontKeys DrumFontKeys{"DrumFontName", "DrumFontSize", "DrumFontCharacterSet", "DrumFontBold", "DrumFontItalic"};
constexpr TFontKeys BinaryFontKeys{"BinaryFontName", "BinaryFontSize", "BinaryFontCharacterSet", "BinaryFontBold",
                                   "BinaryFontItalic"};
constexpr TFontKeys ListFontKeys{"FontName", "FontSize", "CharacterSet", "FontBold", "FontItalic"};

TFontSetting ReadFont(const TIniFile& ini, const QString& section, const TFontKeys& keys, const TFontSetting& defaults)
{
    TFontSetting font;
    font.Name = ini.ReadString(section, QLatin1String(keys.Name), defaults.Name);
    font.Size = ini.ReadInteger(section, QLatin1String(keys.Size), defaults.Size);
    font.CharacterSet = ReadRanged(ini, section, QLatin1String(keys.CharacterSet), defaults.CharacterSet, 0, 255);
    font.Bold = ini.ReadBool(section, QLatin1String(keys.Bold), defaults.Bold);
    font.Italic = ini.ReadBool(section, QLatin1String(keys.Italic), defaults.Italic);
    return font;
}

void WriteFont(TIniFile& ini, const QString& section, const TFontKeys& keys, const TFontSetting& font)
{
    ini.WriteString(section, QLatin1String(keys.Name), font.Name);
    ini.WriteInteger(section, QLatin1String(keys.Size), font.Size);
    ini.WriteInteger(section, QLatin1String(keys.CharacterSet), font.CharacterSet);
    ini.WriteBool(section, QLatin1String(keys.Bold), font.Bold);
    ini.WriteBool(section, QLatin1String(keys.Italic), font.Italic);
}

// "90,70,40": whole numbers apart by commas; empty when any is not one.
QList<int> ReadNumberList(const TIniFile& ini, const QString& section, const QString& key)
{
    QList<int> numbers;
    const QString text = ini.ReadString(section, key, QString());
    if (text.isEmpty())
        return numbers;
    for (const QString& item : text.split(u',')) {
        bool ok = false;
        const int number = item.trimmed().toInt(&ok);
        if (!ok)
            return {};
        numbers.append(number);
    }
    return numbers;
}

void WriteNumberList(TIniFile& ini, const QString& section, const QString& key, const QList<int>& numbers)
{
    QStringList items;
    for (const int number : numbers)
        items.append(QString::number(number));
    ini.WriteString(section, key, items.join(u','));
}

TMonitorSettings ReadMonitorSettings(const TIniFile& ini, const TScreenGeometry& screen)
{
    const TMonitorSettings d;
    TMonitorSettings s;
    s.Top = ReadPosition(ini, MidiMonitor, QStringLiteral("Top"), screen.Primary.height(), screen.Desktop.top() + 150);
    s.Left = ReadPosition(ini, MidiMonitor, QStringLiteral("Left"), screen.Primary.width(), screen.Desktop.left() + 150);
    // At least the size of a small table, at most what fits from the corner on the primary screen.
    s.Height = ini.ReadInteger(MidiMonitor, QStringLiteral("Height"), d.Height);
    if (s.Height < 150 || s.Top + s.Height > screen.Primary.height())
        s.Height = d.Height;
    s.Width = ini.ReadInteger(MidiMonitor, QStringLiteral("Width"), d.Width);
    if (s.Width < 300 || s.Left + s.Width > screen.Primary.width())
        s.Width = d.Width;

    // One width per column, none so narrow the column is lost or wider than a screen; the order
    // every column once.
    constexpr int Columns = TMonitorTableModel::ColumnCount;
    s.ColumnWidths = ReadNumberList(ini, MidiMonitor, QStringLiteral("ColumnWidths"));
    if (s.ColumnWidths.size() != Columns
        || std::any_of(s.ColumnWidths.begin(), s.ColumnWidths.end(), [](int w) { return w < 16 || w > 4000; }))
        s.ColumnWidths.clear();
    s.ColumnOrder = ReadNumberList(ini, MidiMonitor, QStringLiteral("ColumnOrder"));
    QList<int> sorted = s.ColumnOrder;
    std::sort(sorted.begin(), sorted.end());
    bool everyColumnOnce = sorted.size() == Columns;
    for (int column = 0; everyColumnOnce && column < Columns; ++column)
        everyColumnOnce = sorted[column] == column;
    if (!everyColumnOnce)
        s.ColumnOrder.clear();

    s.WallClock = ini.ReadBool(MidiMonitor, QStringLiteral("WallClock"), d.WallClock);
    s.RecordSent = ini.ReadBool(MidiMonitor, QStringLiteral("RecordSent"), d.RecordSent);
    s.MemoLines = ReadRanged(ini, MidiMonitor, QStringLiteral("MemoLines"), d.MemoLines, 1, INT_MAX);
    return s;
}

void WriteMonitorSettings(TIniFile& ini, const TMonitorSettings& s)
{
    ini.WriteInteger(MidiMonitor, QStringLiteral("Top"), s.Top);
    ini.WriteInteger(MidiMonitor, QStringLiteral("Left"), s.Left);
    ini.WriteInteger(MidiMonitor, QStringLiteral("Height"), s.Height);
    ini.WriteInteger(MidiMonitor, QStringLiteral("Width"), s.Width);
    if (!s.ColumnWidths.isEmpty())
        WriteNumberList(ini, MidiMonitor, QStringLiteral("ColumnWidths"), s.ColumnWidths);
    if (!s.ColumnOrder.isEmpty())
        WriteNumberList(ini, MidiMonitor, QStringLiteral("ColumnOrder"), s.ColumnOrder);
    ini.WriteBool(MidiMonitor, QStringLiteral("WallClock"), s.WallClock);
    ini.WriteBool(MidiMonitor, QStringLiteral("RecordSent"), s.RecordSent);
    ini.WriteInteger(MidiMonitor, QStringLiteral("MemoLines"), s.MemoLines);
}

}  // namespace

TMainSettings ReadMainSettings(const TIniFile& ini, const TScreenGeometry& screen, const QString& programFolderWithSeparator)
{
    const TMainSettings d;
    TMainSettings s;

    s.DrumListName = ini.ReadString(FormMain, QStringLiteral("DrumListName"), d.DrumListName);
    s.DrumFont = ReadFont(ini, FormMain, DrumFontKeys, d.DrumFont);
    s.DrumBackColor = ReadColour(ini, QStringLiteral("DrumBackColor"), d.DrumBackColor);
    s.DrumForeColor = ReadColour(ini, QStringLiteral("DrumForeColor"), d.DrumForeColor);
    s.DrumReverseBackColor = ReadColour(ini, QStringLiteral("DrumReverseBackColor"), d.DrumReverseBackColor);
    s.DrumReverseForeColor = ReadColour(ini, QStringLiteral("DrumReverseForeColor"), d.DrumReverseForeColor);

    for (const auto& [key, value] : ini.SectionEntries(ColorDialog))
        if (!value.isEmpty())
            s.ColorDialogEntries.append(key + u'=' + value);

    s.ShowHint = ini.ReadBool(FormMain, QStringLiteral("ShowHint"), d.ShowHint);
    s.BinaryFont = ReadFont(ini, FormMain, BinaryFontKeys, d.BinaryFont);

    s.Interval = ReadRanged(ini, SystemExclusiveSend, QStringLiteral("Interval"), d.Interval, 5, 500);
    s.PacketSize = ReadRanged(ini, SystemExclusiveSend, QStringLiteral("PacketSize"), d.PacketSize, 128, 2048);
    s.WaitAfterMessage = ReadRanged(ini, SystemExclusiveSend, QStringLiteral("WaitAfterMessage"), d.WaitAfterMessage, 0,
                                    TMainSettings::LongestWaitAfterMessage);

    s.BinaryFolder = ini.ReadString(FilePath, QStringLiteral("Binary"), programFolderWithSeparator);
    s.TextFolder = ini.ReadString(FilePath, QStringLiteral("Text"), programFolderWithSeparator);

    s.Top = ReadPosition(ini, FormMain, QStringLiteral("Top"), screen.Primary.height(), screen.Desktop.top() + 100);
    s.Left = ReadPosition(ini, FormMain, QStringLiteral("Left"), screen.Primary.width(), screen.Desktop.left() + 100);
    s.Height = ini.ReadInteger(FormMain, QStringLiteral("Height"), d.Height);
    s.Width = ini.ReadInteger(FormMain, QStringLiteral("Width"), d.Width);

    s.Transpose = ReadRanged(ini, NoteParameter, QStringLiteral("Transpose"), d.Transpose, -60, 50);
    s.OnVelocity = ReadByte(ini, NoteParameter, QStringLiteral("OnVelocity"), d.OnVelocity);
    s.OffVelocity = ReadByte(ini, NoteParameter, QStringLiteral("OffVelocity"), d.OffVelocity);
    s.ChannelPressure = ReadByte(ini, NoteParameter, QStringLiteral("ChannelPressure"), d.ChannelPressure);
    s.PolyPressure = ReadByte(ini, NoteParameter, QStringLiteral("PolyPressure"), d.PolyPressure);

    s.MinimumValue = ReadRanged(ini, ProgramChange, QStringLiteral("MinimumValue"), d.MinimumValue, 0, 1);
    s.Program = ReadByte(ini, ProgramChange, QStringLiteral("Program(0-127)"), d.Program);

    s.Modulation = ReadByte(ini, ControlChange, QStringLiteral("Modulation"), d.Modulation);
    s.Breath = ReadByte(ini, ControlChange, QStringLiteral("Breath"), d.Breath);
    s.Foot = ReadByte(ini, ControlChange, QStringLiteral("Foot"), d.Foot);
    s.PortamentoTime = ReadByte(ini, ControlChange, QStringLiteral("PortamentoTime"), d.PortamentoTime);
    s.Volume = ReadByte(ini, ControlChange, QStringLiteral("Volume"), d.Volume);
    s.Panpot = ReadByte(ini, ControlChange, QStringLiteral("Panpot"), d.Panpot);
    s.Expression = ReadByte(ini, ControlChange, QStringLiteral("Expression"), d.Expression);
    s.Effect1 = ReadByte(ini, ControlChange, QStringLiteral("Effect1"), d.Effect1);
    s.Effect3 = ReadByte(ini, ControlChange, QStringLiteral("Effect3"), d.Effect3);
    s.Effect4 = ReadByte(ini, ControlChange, QStringLiteral("Effect4"), d.Effect4);
    s.Hold1 = ini.ReadBool(ControlChange, QStringLiteral("Hold1"), d.Hold1);
    s.Portamento = ini.ReadBool(ControlChange, QStringLiteral("Portamento"), d.Portamento);
    s.Sostenuto = ini.ReadBool(ControlChange, QStringLiteral("Sostenuto"), d.Sostenuto);
    s.Soft = ini.ReadBool(ControlChange, QStringLiteral("Soft"), d.Soft);
    s.Mono = ini.ReadBool(ControlChange, QStringLiteral("Mono"), d.Mono);
    s.PitchBendRange = ReadByte(ini, ControlChange, QStringLiteral("PitchBendRange"), d.PitchBendRange);
    s.MasterFineTune = ReadRanged(ini, ControlChange, QStringLiteral("MasterFineTune"), d.MasterFineTune, -8192, 8192);
    s.MasterCoarseTune = ReadRanged(ini, ControlChange, QStringLiteral("MasterCoarseTune"), d.MasterCoarseTune, -64, 64);

    s.HasOutDeviceName = ini.KeyExists(Midi, QStringLiteral("OutDeviceName"));
    s.OutDeviceName = ini.ReadString(Midi, QStringLiteral("OutDeviceName"), d.OutDeviceName);
    s.Channel = ReadRanged(ini, Midi, QStringLiteral("Channel"), d.Channel, 1, 16);
    s.InDeviceName = ini.ReadString(Midi, QStringLiteral("InDeviceName"), d.InDeviceName);

    s.Monitor = ReadMonitorSettings(ini, screen);
    return s;
}

void WriteMainSettings(TIniFile& ini, const TMainSettings& s)
{
    // This order is the order of the keys in a file written afresh.
    ini.WriteInteger(FormMain, QStringLiteral("Top"), s.Top);
    ini.WriteInteger(FormMain, QStringLiteral("Left"), s.Left);
    ini.WriteInteger(FormMain, QStringLiteral("Height"), s.Height);
    ini.WriteInteger(FormMain, QStringLiteral("Width"), s.Width);

    if (s.HasOutDeviceName)
        ini.WriteString(Midi, QStringLiteral("OutDeviceName"), s.OutDeviceName);
    ini.WriteString(Midi, QStringLiteral("InDeviceName"), s.InDeviceName);
    ini.WriteInteger(Midi, QStringLiteral("Channel"), s.Channel);

    ini.WriteInteger(NoteParameter, QStringLiteral("OnVelocity"), s.OnVelocity);
    ini.WriteInteger(NoteParameter, QStringLiteral("OffVelocity"), s.OffVelocity);
    ini.WriteInteger(NoteParameter, QStringLiteral("Transpose"), s.Transpose);
    ini.WriteInteger(NoteParameter, QStringLiteral("ChannelPressure"), s.ChannelPressure);
    ini.WriteInteger(NoteParameter, QStringLiteral("PolyPressure"), s.PolyPressure);

    ini.WriteInteger(ProgramChange, QStringLiteral("MinimumValue"), s.MinimumValue);
    ini.WriteInteger(ProgramChange, QStringLiteral("Program(0-127)"), s.Program);

    ini.WriteInteger(ControlChange, QStringLiteral("Modulation"), s.Modulation);
    ini.WriteInteger(ControlChange, QStringLiteral("Breath"), s.Breath);
    ini.WriteInteger(ControlChange, QStringLiteral("Foot"), s.Foot);
    ini.WriteInteger(ControlChange, QStringLiteral("PortamentoTime"), s.PortamentoTime);
    ini.WriteInteger(ControlChange, QStringLiteral("Volume"), s.Volume);
    ini.WriteInteger(ControlChange, QStringLiteral("Panpot"), s.Panpot);
    ini.WriteInteger(ControlChange, QStringLiteral("Expression"), s.Expression);
    ini.WriteInteger(ControlChange, QStringLiteral("Effect1"), s.Effect1);
    ini.WriteInteger(ControlChange, QStringLiteral("Effect3"), s.Effect3);
    ini.WriteInteger(ControlChange, QStringLiteral("Effect4"), s.Effect4);
    ini.WriteBool(ControlChange, QStringLiteral("Hold1"), s.Hold1);
    ini.WriteBool(ControlChange, QStringLiteral("Portamento"), s.Portamento);
    ini.WriteBool(ControlChange, QStringLiteral("Sostenuto"), s.Sostenuto);
    ini.WriteBool(ControlChange, QStringLiteral("Soft"), s.Soft);
    ini.WriteBool(ControlChange, QStringLiteral("Mono"), s.Mono);
    ini.WriteInteger(ControlChange, QStringLiteral("PitchBendRange"), s.PitchBendRange);
    ini.WriteInteger(ControlChange, QStringLiteral("MasterFineTune"), s.MasterFineTune);
    ini.WriteInteger(ControlChange, QStringLiteral("MasterCoarseTune"), s.MasterCoarseTune);

    ini.WriteString(FormMain, QStringLiteral("DrumListName"), s.DrumListName);
    WriteFont(ini, FormMain, DrumFontKeys, s.DrumFont);
    WriteFont(ini, FormMain, BinaryFontKeys, s.BinaryFont);

    ini.WriteInteger(SystemExclusiveSend, QStringLiteral("Interval"), s.Interval);
    ini.WriteInteger(SystemExclusiveSend, QStringLiteral("PacketSize"), s.PacketSize);
    ini.WriteInteger(SystemExclusiveSend, QStringLiteral("WaitAfterMessage"), s.WaitAfterMessage);

    ini.WriteBool(FormMain, QStringLiteral("ShowHint"), s.ShowHint);

    ini.WriteString(FilePath, QStringLiteral("Binary"), s.BinaryFolder);
    ini.WriteString(FilePath, QStringLiteral("Text"), s.TextFolder);

    ini.WriteInteger(FormMain, QStringLiteral("DrumBackColor"), s.DrumBackColor);
    ini.WriteInteger(FormMain, QStringLiteral("DrumForeColor"), s.DrumForeColor);
    ini.WriteInteger(FormMain, QStringLiteral("DrumReverseForeColor"), s.DrumReverseForeColor);
    ini.WriteInteger(FormMain, QStringLiteral("DrumReverseBackColor"), s.DrumReverseBackColor);

    // Entries are split at their first "=": for the dialog's own "ColorA=FFFFFF" that is the
    // six-character name and the rest, and an entry read from a hand-made line keeps its key
    // instead of being cut at a fixed width. Nothing is written when the dialog holds no entries.
    for (const QString& entry : s.ColorDialogEntries) {
        const qsizetype equals = entry.indexOf(u'=');
        if (equals > 0)
            ini.WriteString(ColorDialog, entry.left(equals), entry.mid(equals + 1));
    }

    WriteMonitorSettings(ini, s.Monitor);
}

TProgramListSettings ReadProgramListSettings(const TIniFile& ini, const TScreenGeometry& screen)
{
    const TProgramListSettings d;
    TProgramListSettings s;
    s.ListName = ini.ReadString(FormProgramList, QStringLiteral("ListName"), d.ListName);
    s.Top = ReadPosition(ini, FormProgramList, QStringLiteral("Top"), screen.Primary.height(), screen.Desktop.top() + 200);
    s.Left = ReadPosition(ini, FormProgramList, QStringLiteral("Left"), screen.Primary.width(), screen.Desktop.left() + 200);
    // Checked against the corrected position: the dialog must fit on the primary screen.
    s.Height = ini.ReadInteger(FormProgramList, QStringLiteral("Height"), d.Height);
    if (s.Top + s.Height > screen.Primary.height())
        s.Height = d.Height;
    s.Width = ini.ReadInteger(FormProgramList, QStringLiteral("Width"), d.Width);
    if (s.Left + s.Width > screen.Primary.width())
        s.Width = d.Width;
    s.Font = ReadFont(ini, FormProgramList, ListFontKeys, d.Font);
    s.Columns = ReadRanged(ini, FormProgramList, QStringLiteral("Columns"), d.Columns, 1, 5);
    return s;
}

void WriteProgramListSettings(TIniFile& ini, const TProgramListSettings& s)
{
    ini.WriteInteger(FormProgramList, QStringLiteral("Top"), s.Top);
    ini.WriteInteger(FormProgramList, QStringLiteral("Left"), s.Left);
    ini.WriteInteger(FormProgramList, QStringLiteral("Height"), s.Height);
    ini.WriteInteger(FormProgramList, QStringLiteral("Width"), s.Width);
    ini.WriteString(FormProgramList, QStringLiteral("ListName"), s.ListName);
    WriteFont(ini, FormProgramList, ListFontKeys, s.Font);
    ini.WriteInteger(FormProgramList, QStringLiteral("Columns"), s.Columns);
}

QString CannotWriteSettingsMessage(const QString& path, const QString& reason)
{
    QString text = QCoreApplication::translate("Settings", "%1 に書き込めません").arg(path);
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return text;
}
