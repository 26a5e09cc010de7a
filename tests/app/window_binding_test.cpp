#include "app/window_binding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "window_rig.h"

namespace {

// A window that notes what it is told; the operator moves it by changing its place.
struct FakeWindow : NativeWindow {
    std::vector<std::string> calls;
    WindowPlace where{};
    // A window system that reports a move while it makes it.
    std::function<void()> whilePlacing;

    void showStatusText(const std::string& text) override { calls.push_back("status " + text); }
    void place(const WindowPlace& place) override {
        where = place;
        if (whilePlacing) whilePlacing();
    }
    WindowPlace placement() const override { return where; }
    void closeLater() override { calls.push_back("close later"); }
    void repaintNow() override { calls.push_back("repaint"); }
};

struct Binding : Window {
    FakeWindow native;
    std::optional<WindowBinding> binding;

    void SetUp() override {
        Window::SetUp();
        start().status.setText("Поиск");
        binding.emplace(*window, native);
    }
};

TEST_F(Binding, TheModelsStatusTextAndRequestsReachTheWindowWhileTheBindingLasts) {
    window->status.setText("Программирование 50%");
    window->closeRequested();  // as the restart step's AUTOEXIT asks
    window->repaintRequested();
    binding.reset();
    window->status.setText("Программирование завершено");  // reaches no freed binding
    EXPECT_EQ(native.calls, (std::vector<std::string>{"status Поиск", "status Программирование 50%",
                                                      "close later", "repaint"}));
}

TEST_F(Binding, PutsTheWindowWhereTheFrameSaysAndTheFrameWhereTheOperatorPutsIt) {
    EXPECT_EQ(native.where, (WindowPlace{100, 100, 700, 300}));
    native.whilePlacing = [this] {
        native.where.left += 8;  // a window manager's frame, say
        binding->moved();
    };
    window->frame.setLeft(200);  // the settings read at start
    EXPECT_EQ(window->frame.left(), 200);
    native.whilePlacing = nullptr;
    native.where = {40, 30, 800, 400};
    binding->moved();
    const WindowFrame& f = window->frame;
    EXPECT_EQ((WindowPlace{f.left(), f.top(), f.width(), f.height()}), native.where);
}

TEST_F(Binding, ClosingWritesTheSettingsAndAFailedWriteKeepsTheWindowOpen) {
    std::filesystem::remove_all(folder.path());  // nowhere to write now
    EXPECT_FALSE(binding->closing());
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("Unable to write to"), std::string::npos);
    std::filesystem::create_directories(folder.path());
    EXPECT_TRUE(binding->closing());
}

TEST_F(Binding, ADoubleClickOnTheLogClearsIt) {
    window->log.append("Поиск");
    binding->logDoubleClicked();
    EXPECT_TRUE(window->log.lines().empty());
}

}  // namespace
