#include "output/log.h"

#include <gtest/gtest.h>


TEST(Log, ClearingAnEmptyLogLeavesItEmptyAndTheNextLineComesFirst) {
    Log log;
    log.clear();
    EXPECT_TRUE(log.lines().empty());
    log.append("Версия программы Telvarn : 14");
    log.append("Версия программы Telvarn : 14");
    EXPECT_EQ(log.lines().size(), 2u);
    log.clear();
    log.append("first");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"first"});
}

TEST(Log, DeletesOnlyTheLastLine) {
    Log log;
    int deletions = 0;
    const Connection counting = log.lastDeleted.connect([&] { ++deletions; });
    log.deleteLast();  // nothing to delete
    EXPECT_EQ(deletions, 0);
    log.append("a");
    log.append("b");
    log.deleteLast();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"a"});
    EXPECT_EQ(deletions, 1);
}

