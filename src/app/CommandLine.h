#pragma once
// The command line: the settings file the window uses, or a question answered on the terminal
// with no window and no display (--help, --version, --list-ports), or a mistake refused.

#include <QString>
#include <QStringList>

enum class TCommandAction { OpenWindow, ListPorts, ShowUsage, ShowVersion, Refuse };

struct TCommandLine {
    TCommandAction Action = TCommandAction::OpenWindow;
    QString SettingsFile;  // "" for the program's own name with .ini
    QString Refused;       // what was refused: an unknown option, or a second settings file
    bool RefusedOption = false;
};

// arguments: the command line after the program's name. A mistake wins over a question,
// --help over --version over --list-ports; after "--" every argument is a settings file.
TCommandLine ReadCommandLine(const QStringList& arguments);
TCommandLine ReadCommandLine(int argc, char** argv);

// What the window is given: the settings file, or nothing.
QStringList WindowArguments(const TCommandLine& commandLine);

// The texts, in the interface's language (translated once the language is chosen).
QString UsageText();
QString VersionText();
QString RefusalText(const TCommandLine& commandLine);  // one line

// Answers every action but OpenWindow on standard output (a refusal on standard error), in
// the language of the environment, without connecting to a display. Returns the exit status:
// 0, or 2 for a refusal.
int AnswerCommandLine(const TCommandLine& commandLine);
