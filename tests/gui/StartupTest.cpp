// Start-up, the output-port menu, the function menu and closing, through the real window.
#include "KelvaneFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

TEST(Startup, SavedPortOpensAndIsChecked)
{
    TKelvaneFixture f;
    ASSERT_NE(f.Main().MidiOutput->DeviceHandle(), nullptr);
    const auto items = f.Form().MenuOutDevice->actions();
    ASSERT_EQ(items.size(), 3);  // mapper + two devices
    EXPECT_EQ(items[0]->text(), "Kelvane MIDI Mapper");
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_TRUE(f.Form().PageMain->isVisibleTo(&f.Main()));
    EXPECT_TRUE(f.Messages.isEmpty()) << f.Messages.join("|").toStdString();
}
