#include "GuiTest.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

TFixtureOptions WithSettings(const QString& settings, bool copyDataFiles)
{
    TFixtureOptions options;
    options.Settings = settings;
    options.CopyDataFiles = copyDataFiles;
    return options;
}

void ShowPage(TKelvaneFixture& f, int index)
{
    f.Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.Main()));
    QTabBar* tabs = f.Find<QTabWidget>("PageMain")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    ASSERT_EQ(f.Find<QTabWidget>("PageMain")->currentIndex(), index);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

void WriteText(const QString& path, const QString& text)
{
    WriteFile(path, text.toUtf8());
}

void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void OpenInputList(QComboBox* combo)
{
    combo->showPopup();
    combo->hidePopup();
}

void SettleEvents()
{
    QEventLoop loop;
    for (int pass = 0, quiet = 0; pass < 100000 && quiet < 3; ++pass)
        quiet = loop.processEvents() ? 0 : quiet + 1;
}
