#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

// One program per session: a later start finds the first, asks it to the front
// and ends; once the first has ended, a start is the first again.
TEST(SingleInstance, ALaterStartAsksTheFirstToTheFrontUntilItEnds) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    auto first = std::make_unique<SingleInstance>(folder);
    ASSERT_TRUE(first->acquire());
    QSignalSpy shown(first.get(), &SingleInstance::show_requested);

    SingleInstance later(folder);
    EXPECT_FALSE(later.acquire());
    later.ask_first_to_show();
    EXPECT_TRUE(shown.wait(5000));
    later.ask_first_to_show();  // and again, for every later start
    EXPECT_TRUE(shown.count() >= 2 || shown.wait(5000));

    first.reset();
    SingleInstance next(folder);
    EXPECT_TRUE(next.acquire());
}
