#include "shell/TrayIcon.h"
#include "shell/OptionsMenu.h"

#include <QApplication>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(TrayIcon, OnlyAContextClickOpensTheMenu) {
    OptionsMenu menu;
    TrayIcon tray(&menu);
    tray.AddTrayIcon(QIcon(), "Quorzel");
    EXPECT_TRUE(tray.isShown());
    EXPECT_EQ(tray.tip(), "Quorzel");
    QSignalSpy requested(&tray, &TrayIcon::menuRequested);

    for (auto reason :
         {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
        tray.onActivated(reason);
        EXPECT_FALSE(menu.isVisible());
    }
    EXPECT_EQ(requested.count(), 0);
    tray.onActivated(QSystemTrayIcon::Context);
    EXPECT_EQ(requested.count(), 1);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    tray.RemoveTrayIcon();
    EXPECT_FALSE(tray.isShown());
}

} // namespace
} // namespace qz
