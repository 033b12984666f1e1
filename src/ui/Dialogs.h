#pragma once
// Every modal box and platform dialog of the program goes through here: one place that gives
// them the application's title, and one place where tests answer them instead of a person.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

struct TFileDialogRequest {
    bool Save = false;
    QString DefaultSuffix;   // "syx"
    QString Filter;          // "システム・エクスクルーシブ(*.syx)|*.syx|すべてのファイル(*.*)|*.*"
    QString InitialFolder;
};

struct TDialogHooks {
    std::function<void(const QString& text, bool error)> Message;
    std::function<QString(const TFileDialogRequest&)> File;  // "" = cancelled
    std::function<std::optional<QFont>(const QFont&)> Font;
    std::function<std::optional<QColor>(const QColor&)> Color;
};
TDialogHooks& DialogHooks();

void ShowMessage(QWidget* parent, const QString& text);
void ShowErrorReport(const QString& text);
QString ExecuteFileDialog(QWidget* parent, const TFileDialogRequest& request);
std::optional<QFont> ExecuteFontDialog(QWidget* parent, const QFont& font);   // face, style, size only
std::optional<QColor> ExecuteColorDialog(QWidget* parent, const QColor& color);

// The application's default error report: runs a handler, and shows the text of anything it
// raises in an error box. Every handler that can reach a port runs under it. A handler run from
// inside another (a slider the defaults button moves) does not show its own box: its failure
// ends the sends of the whole user action, which shows the first error once.
class TReportScope {
public:
    TReportScope();
    ~TReportScope();
    bool Outermost() const { return Outer; }
    bool Aborted() const;          // an inner handler failed during this user action
    void Fail(const QString& text);

private:
    bool Outer;
};

// A modal loop started inside a handler runs the user's next actions: each of them is a user
// action of its own again, reported on its own. Every box and dialog below opens inside one.
class TModalScope {
public:
    TModalScope();
    ~TModalScope();

private:
    int SavedDepth;
    bool SavedFailed;
    QString SavedError;
};

// Runs a dialog of ours modally, as a fresh user action scope (see TModalScope).
int RunModal(class QDialog& dialog);

template <class THandler>
void RunReported(THandler&& handler)
{
    TReportScope scope;
    if (scope.Aborted())
        return;
    try {
        handler();
    } catch (const std::exception& error) {
        scope.Fail(QString::fromUtf8(error.what()));
    } catch (...) {
        scope.Fail(QStringLiteral("Unknown error"));
    }
}
