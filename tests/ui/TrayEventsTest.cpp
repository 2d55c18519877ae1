#include <gtest/gtest.h>

#include "ui/TrayEvents.h"

using namespace dokivo;

TEST(TrayEvents, TheThreeMouseCodesOfTheIconEachHaveTheirAction) {
    EXPECT_EQ(trayActionFor(514), TrayAction::ShowWindow);
    EXPECT_EQ(trayActionFor(515), TrayAction::ShowAndRestoreWindow);
    EXPECT_EQ(trayActionFor(517), TrayAction::PopupMenu);
}

TEST(TrayEvents, EveryOtherCodeDoesNothing) {
    // The neighbours are mouse messages too: movement, left press, right press, right double click.
    for (int code : {0, 1, 512, 513, 516, 518, 519, 520, 7710})
        EXPECT_EQ(trayActionFor(code), TrayAction::None) << code;
}

TEST(TrayEvents, QtActivationsMapOntoTheIconCodes) {
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::Trigger)), TrayAction::ShowWindow);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::DoubleClick)), TrayAction::ShowAndRestoreWindow);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::Context)), TrayAction::PopupMenu);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::MiddleClick)), TrayAction::None);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::Unknown)), TrayAction::None);
}
