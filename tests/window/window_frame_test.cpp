#include "window/window_frame.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowFrame, KeepsTheMinimumSize) {
    WindowFrame frame;
    EXPECT_EQ(frame.width(), 700);
    EXPECT_EQ(frame.height(), 300);
    frame.setWidth(100);
    frame.setHeight(50);
    EXPECT_EQ(frame.width(), 500);
    EXPECT_EQ(frame.height(), 200);
    frame.setLeft(-20);
    EXPECT_EQ(frame.left(), -20);
}

}  // namespace
