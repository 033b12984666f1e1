// English that reads as English: the Alt keys of the menus, their items, the buttons of the pages
// and dialogs, and the pages themselves are the same as in Japanese, written the English way (the
// key's letter underlined inside the word), never as a Japanese "(&X)" after it; no full-width
// punctuation is left in what the windows say.
#include "KelvaneFixture.h"
#include "Language.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Every captioned menu, menu item and button the windows make, by object name, with its text.
QMap<QString, QString> Captions(TKelvaneFixture& f)
{
    QMap<QString, QString> captions;
    for (const QAction* title : f.Main().menuBar()->actions()) {
        const QMenu* menu = title->menu();
        if (!menu)
            continue;
        captions.insert(menu->objectName(), menu->title());
        for (const QAction* item : menu->actions())
            if (!item->objectName().isEmpty())
                captions.insert(item->objectName(), item->text());
    }
    for (const QWidget* window : {static_cast<QWidget*>(&f.Main()), static_cast<QWidget*>(f.Windows.ProgramList),
                                  static_cast<QWidget*>(f.Windows.DrumColor)})
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
            if (!button->objectName().isEmpty() && !button->text().isEmpty())
                captions.insert(window->objectName() + "/" + button->objectName(), button->text());
    return captions;
}

QMap<QString, QString> KeysOf(const QMap<QString, QString>& captions)
{
    QMap<QString, QString> keys;
    for (auto c = captions.cbegin(); c != captions.cend(); ++c)
        keys.insert(c.key(), QKeySequence::mnemonic(c.value()).toString(QKeySequence::PortableText));
    return keys;
}

class EnglishTexts : public testing::Test {
protected:
    void TearDown() override
    {
        F.reset();
        UseLanguage(TLanguage::Japanese);
    }
    QMap<QString, QString> In(TLanguage language)
    {
        F.reset();
        EXPECT_TRUE(UseLanguage(language));
        F = std::make_unique<TKelvaneFixture>();
        return Captions(*F);
    }
    std::unique_ptr<TKelvaneFixture> F;
};

TEST_F(EnglishTexts, EveryMenuAndButtonKeepsItsKeyInEnglish)
{
    const QMap<QString, QString> japanese = In(TLanguage::Japanese);
    const QMap<QString, QString> english = In(TLanguage::English);
    ASSERT_EQ(japanese.keys(), english.keys());
    // The menus and the dialogs' buttons carry keys: a sign that the walk found them.
    const QMap<QString, QString> keys = KeysOf(japanese);
    EXPECT_EQ(keys.value("MenuFile"), "Alt+N");
    EXPECT_EQ(keys.value("MenuOutDevice"), "Alt+M");
    EXPECT_EQ(keys.value("MenuFileExit"), "Alt+X");
    EXPECT_EQ(keys.value("TDrumColorDialog/ButtonFont"), "Alt+F");
    EXPECT_EQ(KeysOf(english), keys);

    const QRegularExpression japaneseStyle(QStringLiteral("\\(&\\w\\)"));
    for (auto c = english.cbegin(); c != english.cend(); ++c) {
        EXPECT_FALSE(c.value().contains(japaneseStyle)) << c.key().toStdString() << ": " << c.value().toStdString();
        // Full-width punctuation and blanks are Japanese typography.
        EXPECT_FALSE(std::any_of(c.value().cbegin(), c.value().cend(), [](QChar ch) { return ch.unicode() >= 0x3000; }))
            << c.key().toStdString() << ": " << c.value().toStdString();
    }
}

// The pages' Alt keys turn the pages, in either language (English captions name no Z, X or C).
TEST_F(EnglishTexts, AltZXCTurnThePages)
{
    for (const TLanguage language : {TLanguage::Japanese, TLanguage::English}) {
        SCOPED_TRACE(language == TLanguage::English ? "English" : "Japanese");
        In(language);
        F->Main().show();
        F->Main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&F->Main()));
        auto* pages = F->Find<QTabWidget>("PageMain");
        const std::pair<Qt::Key, int> cases[] = {{Qt::Key_X, 1}, {Qt::Key_C, 2}, {Qt::Key_Z, 0}, {Qt::Key_C, 2}};
        for (const auto& [key, page] : cases) {
            QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &F->Main();
            QTest::keyClick(focus, key, Qt::AltModifier);
            EXPECT_EQ(pages->currentIndex(), page) << QKeySequence(key).toString().toStdString();
        }
    }
}

TEST_F(EnglishTexts, TheVersionBoxHasNoJapanesePunctuationInEnglish)
{
    const std::pair<TLanguage, const char*> cases[] = {
        {TLanguage::Japanese, "^Kelvane（ケルヴェイン）\nVer\\.[0-9.]+（2000/03/04）\n\n"},
        {TLanguage::English, "^Kelvane\nVersion [0-9.]+ \\(2000-03-04\\)\n\n"},
    };
    for (const auto& [language, expected] : cases) {
        In(language);
        F->Find<QAction>("MenuFileVersion")->trigger();
        ASSERT_EQ(F->Messages.size(), 1);
        EXPECT_TRUE(F->Messages[0].contains(QRegularExpression(QString::fromUtf8(expected))))
            << F->Messages[0].toStdString();
    }
}

} // namespace
