#include "shell/single_instance.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

TEST(SingleInstance, ALaterStartAsksTheFirstToTheFrontUntilItEnds) {
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstance>(dir.path() + "/");
    ASSERT_TRUE(first->acquire());
    QSignalSpy shown(first.get(), &SingleInstance::show_requested);
    SingleInstance later(dir.path() + "/");
    EXPECT_FALSE(later.acquire());
    later.ask_first_to_show();
    EXPECT_TRUE(shown.wait(5000));
    first.reset();
    EXPECT_TRUE(later.acquire());
}
