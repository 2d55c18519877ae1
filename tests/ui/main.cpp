// The widget tests need one QApplication for the whole run, always on the offscreen platform
// (also while CTest lists the tests): they expect no display and no notification area.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
