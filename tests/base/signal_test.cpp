#include "base/signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A subscriber that records what it hears, as a view would.
struct Listener {
    std::vector<std::string> heard;
    Connection connection;

    Listener(Signal<const std::string&>& signal, std::string name) {
        connection = signal.connect(
            [this, name](const std::string& text) { heard.push_back(name + ":" + text); });
    }
};

}  // namespace

TEST(Signal, AConnectionEndsWithItsHolder) {
    Signal<const std::string&> signal;
    std::vector<std::string> heard;
    const Connection kept = signal.connect([&](const std::string& text) { heard.push_back(text); });
    {
        Listener gone(signal, "gone");
        signal("first");
        EXPECT_EQ(gone.heard, std::vector<std::string>{"gone:first"});
    }
    signal("second");  // the listener's memory is freed: only the kept slot may run
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second"}));
    EXPECT_FALSE(signal.empty());
}

TEST(Signal, ASignalThatGoesFirstLeavesItsConnectionsHarmless) {
    auto signal = std::make_unique<Signal<const std::string&>>();
    Listener listener(*signal, "a");
    EXPECT_FALSE(signal->empty());
    signal.reset();
    listener.connection.disconnect();
}

TEST(Signal, MovingAConnectionKeepsOneSubscription) {
    Signal<> signal;
    int calls = 0;
    Connection first = signal.connect([&] { ++calls; });
    Connection second = std::move(first);
    first.disconnect();  // moved from: ends nothing
    signal();
    EXPECT_EQ(calls, 1);
    second = Connection();
    signal();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(signal.empty());
}

TEST(Signal, SlotsMayEndConnectionsAndAddOthersWhileItAnnounces) {
    Signal<> signal;
    std::vector<std::string> calls;
    Connection self, later, added;
    self = signal.connect([&] {
        calls.push_back("self");
        self.disconnect();   // its own, while it runs
        later.disconnect();  // one that has not run yet in this announcement
        added = signal.connect([&] { calls.push_back("added"); });
    });
    later = signal.connect([&] { calls.push_back("later"); });
    signal();
    signal();
    EXPECT_EQ(calls, (std::vector<std::string>{"self", "added"}));
}

TEST(Signal, ASlotMayDestroyTheSignalsOwner) {
    struct Model {
        Signal<> changed;
    };
    auto model = std::make_unique<Model>();
    int calls = 0;
    const Connection first = model->changed.connect([&] {
        ++calls;
        model.reset();
    });
    const Connection second = model->changed.connect([&] { ++calls; });
    model->changed();
    EXPECT_EQ(model, nullptr);
    EXPECT_EQ(calls, 2);
}
