#pragma once
// Small helpers the window tests share: settings before start-up, a page shown as the user
// opens it, files written and read back, a left click, a look at the input list.

#include "KelvaneFixture.h"

#include <QByteArray>
#include <QString>

class QComboBox;
class QWidget;

// Fixture options with `settings` as the settings file's text before start-up.
TFixtureOptions WithSettings(const QString& settings, bool copyDataFiles = true);

// Shows the window and opens page `index` (0 main, 1 drums, 2 Binary) with a click on its tab.
void ShowPage(TKelvaneFixture& f, int index);

// Whole files; a file that cannot be opened fails the test.
QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);
void WriteText(const QString& path, const QString& text);  // as UTF-8

void Click(QWidget* widget);

// Opens and closes the input list, as a user looking at it: the list is read afresh.
void OpenInputList(QComboBox* combo);

// Lets the window handle everything posted to it (the input's notifications, what catches up
// once per turn of the event loop) until a few passes find nothing more to do.
void SettleEvents();
