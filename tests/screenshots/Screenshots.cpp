// Takes pictures of the windows as a user sees them on a real X server, and writes down what a
// picture cannot show: every widget's place, font, texts and state, and the order Tab visits the
// controls in. Two runs (before and after a change of code) are compared by scripts/screenshots.sh.
//
// Knows the windows only by what a user meets: the main window, its tabs, its two menus and the
// two dialogs, found by their object names and Qt types, so that it runs on any version of the
// code that keeps those.
#include "DarkPalette.h"
#include "KelvaneFixture.h"
#include "Language.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleHints>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>
#include <QTextStream>
#include <QTimer>

#include <iostream>

namespace {

// A fixed place and size for each window, so that two runs draw the same pixels.
const QString Settings = QStringLiteral(
    "[FormMain]\nTop=0\nLeft=0\nWidth=635\nHeight=440\n"
    "[FormProgramList]\nTop=0\nLeft=660\nWidth=600\nHeight=300\n"
    "[Midi]\nInDeviceName=Test Input\n"
    "[MidiMonitor]\nTop=0\nLeft=0\nWidth=820\nHeight=460\nRecordSent=1\n");

// Painting waits for the event loop; give it a few turns and a moment for the X server.
void Settle()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(60);
    }
}

bool Save(QWidget* window, const QString& path)
{
    Settle();
    const QPixmap picture = window->screen()->grabWindow(window->winId());
    if (picture.isNull() || !picture.save(path)) {
        std::cerr << "screenshots: could not take or save " << path.toStdString() << "\n";
        return false;
    }
    return true;
}

QString Rect(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString OneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QString TextOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return {};
}

// One line per widget, in the order of the tree; class names are left out (a widget may change
// its class and still look and behave the same).
void DescribeTree(QTextStream& out, const QWidget* widget, const QWidget* window, int depth)
{
    const QRect place(widget->mapTo(window, QPoint(0, 0)), widget->size());
    // A window is named by the line before its tree: its object name follows its class.
    const QString name = widget == window ? QStringLiteral("(window)")
                         : widget->objectName().isEmpty() ? QStringLiteral("-")
                                                           : widget->objectName();
    out << QString(depth * 2, QLatin1Char(' ')) << name
        << " | " << Rect(place) << " | " << (widget->isVisibleTo(window) ? "shown" : "hidden") << " | "
        << (widget->isEnabled() ? "enabled" : "disabled") << " | focus " << int(widget->focusPolicy()) << " | "
        << widget->font().toString() << " | window " << widget->palette().color(QPalette::Window).name() << " text "
        << widget->palette().color(QPalette::WindowText).name() << " | " << OneLine(TextOf(widget)) << " | tip "
        << OneLine(widget->toolTip()) << " | name " << widget->accessibleName() << "\n";
    for (const QObject* child : widget->children())
        if (const auto* childWidget = qobject_cast<const QWidget*>(child); childWidget && !childWidget->isWindow())
            DescribeTree(out, childWidget, window, depth + 1);
}

// The order Tab visits the controls in, as a user meets it: for each page, from the tab bar on
// (the order of the pages among themselves in Qt's one chain per window is no part of it); for a
// dialog, from the window on.
void DescribeTabChain(QTextStream& out, QWidget* window, const QString& title, QWidget* start, QWidget* within)
{
    out << "Tab chain " << title << ":\n";
    for (QWidget* next = start->nextInFocusChain(); next && next != start; next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && !next->focusProxy() && next != window
            && (!within || within->isAncestorOf(next)))
            out << "  " << (next->objectName().isEmpty() ? QStringLiteral("-") : next->objectName()) << "\n";
}

void DescribeMenus(QTextStream& out, QWidget* window)
{
    const auto* bar = window->findChild<QMenuBar*>();
    if (!bar)
        return;
    for (QAction* menuAction : bar->actions()) {
        out << "Menu " << menuAction->text() << "\n";
        if (QMenu* menu = menuAction->menu())
            for (QAction* item : menu->actions())
                out << "  " << (item->isSeparator() ? QStringLiteral("----") : item->text()) << " | "
                    << item->shortcut().toString() << " | " << (item->isCheckable() ? (item->isChecked() ? "checked" : "unchecked") : "")
                    << " | tip " << OneLine(item->toolTip()) << "\n";
    }
}

QDialog* FindDialog(QWidget* main, const char* kind)
{
    for (QDialog* dialog : main->findChildren<QDialog*>())
        if (QString::fromLatin1(dialog->metaObject()->className()).contains(QLatin1String(kind)))
            return dialog;
    return nullptr;
}

// The raw editor at work, by what a user does: a data set with a wrong sum beside a right one; a
// run stopped with Escape before its first packet left; the memo's own menu over a selection.
bool TakeRawEditorPictures(QWidget& main, QTabWidget* pages, const QString& folder)
{
    auto* memo = main.findChild<QPlainTextEdit*>(QStringLiteral("MemoMidiOut"));
    auto* send = main.findChild<QPushButton*>(QStringLiteral("ButtonSend"));
    if (!memo || !send) {
        std::cerr << "screenshots: no MemoMidiOut or ButtonSend\n";
        return false;
    }
    // The dialogs have had the focus; keys go to the active window.
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        std::cerr << "screenshots: the main window did not become active again\n";
    pages->setCurrentIndex(2);
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("F0 41 10 42 12 40 00 7F 00 42 F7"));  // the sum is 41
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("F0 41 10 42 12 40 00 7F 00 41 F7"));
    bool ok = Save(&main, folder + "/page-binary-checksum.png");

    QTest::mouseClick(send, Qt::LeftButton);
    QTest::keyClick(memo, Qt::Key_Escape);
    ok = Save(&main, folder + "/page-binary-stopped.png") && ok;

    QTextCursor line = memo->textCursor();
    line.setPosition(0);
    line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    memo->setTextCursor(line);
    bool menuShown = false;
    QTimer::singleShot(0, &main, [&] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        menuShown = QTest::qWaitForWindowExposed(menu) && Save(menu, folder + "/menu-MemoMidiOut.png");
        menu->close();
    });
    const QPoint at = memo->cursorRect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, memo->viewport()->mapToGlobal(at));
    QApplication::sendEvent(memo->viewport(), &event);  // returns once the menu has closed
    if (!menuShown)
        std::cerr << "screenshots: the memo's menu did not open\n";

    memo->clear();
    pages->setCurrentIndex(0);
    return ok && menuShown;
}

int TakeScreenshots(const QString& folder)
{
    QDir().mkpath(folder);
    TFixtureOptions options;
    options.Settings = Settings;
    TKelvaneFixture f(options);
    QWidget& main = f.Main();
    main.show();
    if (!QTest::qWaitForWindowExposed(&main)) {
        std::cerr << "screenshots: the main window was never shown\n";
        return 1;
    }
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        std::cerr << "screenshots: the main window did not become active\n";

    auto* pages = main.findChild<QTabWidget*>(QStringLiteral("PageMain"));
    if (!pages) {
        std::cerr << "screenshots: no PageMain\n";
        return 1;
    }
    bool ok = true;
    const char* const pageNames[] = {"page-main", "page-drums", "page-binary"};
    for (int index = 0; index < pages->count() && index < 3; ++index) {
        pages->setCurrentIndex(index);
        ok = Save(&main, folder + "/" + pageNames[index] + ".png") && ok;
    }
    pages->setCurrentIndex(0);

    QFile structure(folder + "/structure.txt");
    if (!structure.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::cerr << "screenshots: cannot write " << structure.fileName().toStdString() << "\n";
        return 1;
    }
    QTextStream out(&structure);
    out << "Main window " << Rect(main.geometry()) << " | " << main.windowTitle() << "\n";
    DescribeMenus(out, &main);
    DescribeTree(out, &main, &main, 0);
    for (int index = 0; index < pages->count(); ++index)
        DescribeTabChain(out, &main, pages->widget(index)->objectName(), pages->tabBar(), pages->widget(index));

    // The two menus, open below their titles.
    const auto* bar = main.findChild<QMenuBar*>();
    for (const char* name : {"MenuFile", "MenuOutDevice"}) {
        auto* menu = main.findChild<QMenu*>(QString::fromLatin1(name));
        if (!bar || !menu) {
            std::cerr << "screenshots: no menu " << name << "\n";
            ok = false;
            continue;
        }
        menu->popup(bar->mapToGlobal(bar->actionGeometry(menu->menuAction()).bottomLeft()));
        ok = QTest::qWaitForWindowExposed(menu) && Save(menu, folder + "/menu-" + QString::fromLatin1(name) + ".png") && ok;
        menu->hide();
    }

    // The dialogs, as they open.
    const std::pair<const char*, const char*> dialogs[] = {{"ProgramList", "dialog-program-list"},
                                                           {"DrumColor", "dialog-drum-color"}};
    for (const auto& [kind, file] : dialogs) {
        QDialog* dialog = FindDialog(&main, kind);
        if (!dialog) {
            std::cerr << "screenshots: no " << kind << " dialog\n";
            ok = false;
            continue;
        }
        dialog->show();
        dialog->activateWindow();
        ok = QTest::qWaitForWindowExposed(dialog) && QTest::qWaitForWindowActive(dialog)
             && Save(dialog, folder + "/" + file + ".png") && ok;
        out << "Dialog " << kind << " " << Rect(dialog->geometry()) << " | " << dialog->windowTitle() << "\n";
        DescribeTree(out, dialog, dialog, 0);
        DescribeTabChain(out, dialog, QString::fromLatin1(kind), dialog, nullptr);
        dialog->hide();
    }
    ok = TakeRawEditorPictures(main, pages, folder) && ok;

    // The monitor window with a message of each kind, in the desktop's palette and a dark one.
    if (QAction* item = main.findChild<QAction*>(QStringLiteral("MenuFileMonitor"))) {
        const std::vector<std::vector<uint8_t>> messages{
            {0x90, 0x3C, 0x64}, {0xB0, 0x07, 0x64}, {0xB0, 0x65, 0x00}, {0xB0, 0x64, 0x00}, {0xB0, 0x06, 0x02},
            {0xC0, 0x05}, {0xD0, 0x40}, {0xE0, 0x00, 0x40}, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7},
            {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}, {0xF8}, {0xF2, 0x10, 0x00}, {0x80, 0x3C, 0x40}};
        for (const auto& message : messages)
            f.Service().Inject(message);
        f.Session().Send(TShortMessage{0xB0, 0x40, 0x7F});
        item->trigger();
        QWidget* monitor = QApplication::activeWindow();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("MidiMonitorWindow"))
                monitor = window;
        ok = monitor && QTest::qWaitForWindowExposed(monitor) && Save(monitor, folder + "/monitor-window.png") && ok;
        if (monitor) {
            out << "Monitor window " << Rect(monitor->geometry()) << " | " << monitor->windowTitle() << "\n";
            DescribeTree(out, monitor, monitor, 0);
            const QPalette light = QApplication::palette();
            QApplication::setPalette(DarkPalette());
            ok = Save(monitor, folder + "/monitor-window-dark.png") && ok;
            QApplication::setPalette(light);
            monitor->hide();
        }
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: kelvane_screenshots FOLDER (under an X server; KELVANE_LANG=en for English,\n"
                     "KELVANE_SCREENSHOTS_PALETTE=dark for the Fusion style with a dark palette)\n";
        return 2;
    }
    UseLanguage(LanguageFromEnvironment());
    // A desktop with a dark theme, as the palette test has it.
    if (qEnvironmentVariable("KELVANE_SCREENSHOTS_PALETTE") == QLatin1String("dark"))
        UseDesktopPalette(true);
    // A text cursor that blinks would be caught on or off by chance.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    return TakeScreenshots(QString::fromLocal8Bit(argv[1]));
}
