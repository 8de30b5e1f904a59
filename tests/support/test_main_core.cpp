#include <gtest/gtest.h>
#include <QCoreApplication>

int main(int argc, char** argv) {
    // Headless, and no platform theme that could bring up native dialogs.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORMTHEME", "");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
