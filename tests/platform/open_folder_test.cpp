#include "platform/open_folder.h"

#include <gtest/gtest.h>
#include <QTest>

// Without a file manager (the opener missing, or failing as xdg-open does) the
// caller hears of it; a file manager that takes the folder says nothing more.
TEST(OpenFolder, ACallerHearsWhenNoFileManagerTookTheFolder) {
    int missing = 0, failing = 0, taken = 0;
    open_folder(
        QStringLiteral("/tmp"), [&] { ++missing; }, QStringLiteral("/nonexistent/opener"));
    open_folder(
        QStringLiteral("/tmp"), [&] { ++taken; }, QStringLiteral("true"));
    open_folder(
        QStringLiteral("/tmp"), [&] { ++failing; }, QStringLiteral("false"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return missing && failing; }, 10000));
    QTest::qWait(100);
    EXPECT_EQ(QList<int>({missing, failing, taken}), QList<int>({1, 1, 0}));
}
