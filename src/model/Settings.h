#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class TIniFile;

// Where windows may be placed: Desktop spans all monitors (its top left is where defaults go),
// the checks of saved positions use the primary screen's size.
struct TScreenGeometry {
    QRect Desktop;
    QSize Primary;
};

// A font as the settings file keeps it. CharacterSet has no meaning to Qt; it is kept and written
// back unchanged (128 = Shift-JIS).
struct TFontSetting {
    QString Name;
    int Size = 9;  // points
    int CharacterSet = 128;
    bool Bold = false;
    bool Italic = false;

    friend bool operator==(const TFontSetting&, const TFontSetting&) = default;
};

// [MidiMonitor]: the monitor window's place and columns, and what the monitor keeps. Written with
// the main window's keys; the window's keys keep what was read while it was never opened.
struct TMonitorSettings {
    int Top = 0;
    int Left = 0;
    int Height = 460;
    int Width = 820;
    QList<int> ColumnWidths;  // pixels, by column; empty: the window's own widths
    QList<int> ColumnOrder;   // the columns from left to right; empty: as designed
    bool WallClock = false;   // times of day instead of seconds since the clear
    bool RecordSent = false;  // Kelvane's own messages go into the record too
    // The Binary page's memo shows at most this many of the newest lines; the record and the
    // saves keep every line since the clear.
    int MemoLines = 1'000'000;

    friend bool operator==(const TMonitorSettings&, const TMonitorSettings&) = default;
};

// The main window's part of the settings file. A default-constructed value holds every key's
// default except those that depend on the screen (Top, Left) or the program's folder (the two
// folders). Colours are blue * 65536 + green * 256 + red.
struct TMainSettings {
    // [FormMain]
    int Top = 0;
    int Left = 0;
    int Height = 440;
    int Width = 635;
    bool ShowHint = true;
    QString DrumListName = QStringLiteral("NotDefined");
    TFontSetting DrumFont{QStringLiteral("ＭＳ Ｐゴシック"), 9, 128, false, false};
    int DrumBackColor = 8388608;  // navy
    int DrumForeColor = 16777215;  // white
    int DrumReverseBackColor = 16776960;  // aqua
    int DrumReverseForeColor = 0;  // black
    TFontSetting BinaryFont{QStringLiteral("ＭＳ ゴシック"), 9, 128, false, false};

    // [Midi]
    QString OutDeviceName = QStringLiteral("NotDefined");
    // Written only when set (an output port is chosen); on reading, whether the file has the key.
    bool HasOutDeviceName = false;
    QString InDeviceName = QStringLiteral("MIDI入力なし");
    int Channel = 1;

    // [NoteParameter]
    int Transpose = 0;
    int OnVelocity = 120;
    int OffVelocity = 40;
    int ChannelPressure = 40;
    int PolyPressure = 40;

    // [ProgramChange]
    int MinimumValue = 1;  // 0: programs shown as 0..127, 1: as 1..128
    int Program = 0;  // key "Program(0-127)": the program number itself, whatever the display range

    // [ControlChange]
    int Modulation = 0;
    int Breath = 0;
    int Foot = 0;
    int PortamentoTime = 0;
    int Volume = 100;
    int Panpot = 64;
    int Expression = 127;
    int Effect1 = 40;
    int Effect3 = 0;
    int Effect4 = 0;
    bool Hold1 = false;
    bool Portamento = false;
    bool Sostenuto = false;
    bool Soft = false;
    bool Mono = false;
    int PitchBendRange = 2;  // 0..127 here; the controller state itself refuses more than 24
    int MasterFineTune = 0;
    int MasterCoarseTune = 0;

    // [SystemExclusiveSend]
    int Interval = 100;  // milliseconds
    int PacketSize = 1024;  // bytes
    // Milliseconds the next packet waits after a packet that ends a system exclusive message, in
    // place of Interval; 0 keeps Interval there too (so a file without the key sends as always).
    // 0..LongestWaitAfterMessage.
    int WaitAfterMessage = 0;
    static constexpr int LongestWaitAfterMessage = 5000;

    // [FilePath] keys Binary and Text, each with its trailing separator.
    QString BinaryFolder;
    QString TextFolder;

    // [ColorDialog]: the colour dialog's custom colours as it holds them, "ColorA=FFFFFF".
    QStringList ColorDialogEntries;

    TMonitorSettings Monitor;

    friend bool operator==(const TMainSettings&, const TMainSettings&) = default;
};

// Every value is checked; one that cannot be read or is out of range gives its default.
TMainSettings ReadMainSettings(const TIniFile& ini, const TScreenGeometry& screen, const QString& programFolderWithSeparator);
// Writes every key in the order the main window has always written them (see the .cpp).
void WriteMainSettings(TIniFile& ini, const TMainSettings& settings);

// [FormProgramList], the program selection dialog's own section.
struct TProgramListSettings {
    int Top = 0;
    int Left = 0;
    int Height = 300;
    int Width = 600;
    QString ListName = QStringLiteral("NotDefined");
    TFontSetting Font{QStringLiteral("ＭＳ Ｐゴシック"), 9, 128, false, false};
    int Columns = 3;

    friend bool operator==(const TProgramListSettings&, const TProgramListSettings&) = default;
};

TProgramListSettings ReadProgramListSettings(const TIniFile& ini, const TScreenGeometry& screen);
void WriteProgramListSettings(TIniFile& ini, const TProgramListSettings& settings);

// The error shown when the settings file cannot be written; the reason, when known, goes on a
// second line.
QString CannotWriteSettingsMessage(const QString& path, const QString& reason = {});
