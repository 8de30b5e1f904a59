#include "platform/open_folder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

// Where no file manager takes the folder (the opener is missing, or it
// fails as xdg-open does without one), the caller hears of it; where one
// takes it, nothing more is said.
TEST(OpenFolder, ACallerHearsWhenNoFileManagerTookTheFolder) {
    QTemporaryDir dir;
    struct Case {
        const char* opener;
        bool told;
    };
    for (const Case& c :
         {Case{"/nonexistent/xdg-open", true}, Case{"false", true}, Case{"true", false}}) {
        int told = 0;
        open_folder(
            dir.path(), [&] { ++told; }, QString::fromLatin1(c.opener));
        // The opener runs on its own; its end comes through the event loop,
        // after that of one started later that fails.
        bool later_done = false;
        open_folder(
            dir.path(), [&] { later_done = true; }, QStringLiteral("false"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return later_done && (told > 0 || !c.told); }, 10000))
            << c.opener;
        QTest::qWait(100);
        EXPECT_EQ(told, c.told ? 1 : 0) << c.opener;
    }
}
