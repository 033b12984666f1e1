#pragma once
// The .syx and .txt files of the Binary page, written by the input monitor and the output
// editor alike: the dialogs' choices, and reading and writing a file whole. Failures raise with
// a Japanese text naming the file, for the default error report.

#include "Dialogs.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// The memo lays out its text again at every edit; beyond this a file takes the window for
// seconds. A .syx file becomes three characters per byte, so both limits give the same memo.
constexpr qint64 MaxSyxFileBytes = 4 * 1024 * 1024;
constexpr qint64 MaxTextFileBytes = 3 * MaxSyxFileBytes;

TFileDialogRequest SyxFileRequest(bool save, const QString& folder);
TFileDialogRequest TextFileRequest(bool save, const QString& folder);
QString FolderOf(const QString& path);  // with its trailing separator

// The folders the file dialogs of the Binary page open in, each with its trailing separator: one
// for .syx files and one for .txt files, shared by the monitor and the output editor.
struct TFileFolders {
    QString Binary;
    QString Text;
};
QByteArray ReadWholeFile(const QString& path, qint64 limit);
void WriteWholeFile(const QString& path, const QByteArray& bytes);
// The same, for a file written in pieces: write returns false when the file refused one.
void WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write);

// Why a file could not be written, in the interface's language, found out after the failure
// (the system's own text is English).
QString WriteFailureReason(const QString& path);
