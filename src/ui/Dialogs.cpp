#include "Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

TDialogHooks& DialogHooks()
{
    static TDialogHooks hooks;
    return hooks;
}

void ShowMessage(QWidget* parent, const QString& text)
{
    if (DialogHooks().Message) {
        DialogHooks().Message(text, false);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    TModalScope modal;
    box.exec();
}

void ShowErrorReport(const QString& text)
{
    if (DialogHooks().Message) {
        DialogHooks().Message(text, true);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    TModalScope modal;
    box.exec();
}

QString ExecuteFileDialog(QWidget* parent, const TFileDialogRequest& request)
{
    if (DialogHooks().File)
        return DialogHooks().File(request);
    // "description|pattern|description|pattern" → Qt's "description (pattern);;..."; the
    // descriptions already carry their pattern.
    const QStringList parts = request.Filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + parts[i + 1] + ")";
    QFileDialog dialog(parent, QString(), request.InitialFolder);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.DefaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (request.Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    TModalScope modal;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

std::optional<QFont> ExecuteFontDialog(QWidget* parent, const QFont& font)
{
    if (DialogHooks().Font)
        return DialogHooks().Font(font);
    bool ok = false;
    TModalScope modal;
    QFont chosen = QFontDialog::getFont(&ok, font, parent, QString(), QFontDialog::DontUseNativeDialog);
    if (!ok)
        return std::nullopt;
    // Face, style and size only: effects are not ours to change.
    chosen.setUnderline(font.underline());
    chosen.setStrikeOut(font.strikeOut());
    return chosen;
}

std::optional<QColor> ExecuteColorDialog(QWidget* parent, const QColor& color)
{
    if (DialogHooks().Color)
        return DialogHooks().Color(color);
    TModalScope modal;
    const QColor chosen = QColorDialog::getColor(color, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}



namespace {
int ReportDepth = 0;
QString ReportFirstError;
bool ReportFailed = false;
} // namespace

TModalScope::TModalScope() : SavedDepth(ReportDepth), SavedFailed(ReportFailed), SavedError(ReportFirstError)
{
    ReportDepth = 0;
    ReportFailed = false;
    ReportFirstError.clear();
}

TModalScope::~TModalScope()
{
    ReportDepth = SavedDepth;
    ReportFailed = SavedFailed;
    ReportFirstError = SavedError;
}

int RunModal(QDialog& dialog)
{
    TModalScope modal;
    return dialog.exec();
}

TReportScope::TReportScope() : Outer(ReportDepth == 0)
{
    if (Outer) {
        ReportFailed = false;
        ReportFirstError.clear();
    }
    ++ReportDepth;
}

TReportScope::~TReportScope()
{
    --ReportDepth;
    if (Outer && ReportFailed) {
        ReportFailed = false;
        const QString text = ReportFirstError;  // the box runs its own loop: copy first
        ShowErrorReport(text);
    }
}

bool TReportScope::Aborted() const
{
    return !Outer && ReportFailed;
}

void TReportScope::Fail(const QString& text)
{
    if (!ReportFailed)
        ReportFirstError = text;
    ReportFailed = true;
}
