#include "output/line_store.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Lines of every length that matters: empty, short, near and past the sizes
// of the store's blocks.
std::string lineOf(std::mt19937& random) {
    static const std::size_t lengths[] = {0, 1, 7, 80, 4095, 4096, 4097, 70000, (1u << 20) + 3};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(lengths) - 1);
    std::size_t length = lengths[pick(random)];
    // Mostly log-sized lines, so that many share a block.
    if (random() % 8 != 0) length = random() % 120;
    std::string line(length, '\0');
    for (char& c : line) c = static_cast<char>('a' + random() % 26);
    return line;
}

}  // namespace

TEST(LineStore, HoldsWhatAVectorOfStringsWouldThroughAppendsRemovalsAndClears) {
    std::mt19937 random(20240611);
    LineStore store;
    std::vector<std::string> expected;
    for (int step = 0; step < 3000; ++step) {
        const unsigned action = random() % 100;
        if (action < 70) {
            expected.push_back(lineOf(random));
            store.push_back(expected.back());
        } else if (action < 99 && !expected.empty()) {
            expected.pop_back();
            store.pop_back();
        } else {
            expected.clear();
            store.clear();
        }
        ASSERT_EQ(store.size(), expected.size()) << "step " << step;
        if (!expected.empty()) {
            ASSERT_EQ(store.back(), expected.back()) << "step " << step;
        }
    }
    EXPECT_TRUE(store == expected);
    EXPECT_TRUE(std::equal(store.begin(), store.end(), expected.begin(), expected.end()));
}

TEST(LineStore, ALineStaysWhereItIsWhileLaterLinesCome) {
    LineStore store;
    store.push_back("Буфер очищен");
    const std::string_view first = store.front();
    for (int i = 0; i < 200000; ++i) store.push_back("Ошибка в строке " + std::to_string(i));
    EXPECT_EQ(first.data(), store.front().data());
    EXPECT_EQ(first, "Буфер очищен");
    EXPECT_EQ(store[100001], "Ошибка в строке 100000");
    EXPECT_EQ(store.end() - store.begin(), 200001);
}
