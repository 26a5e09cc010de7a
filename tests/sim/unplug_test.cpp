// The programmer whose cable comes out once, in the middle of a long operation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/errors.h"
#include "link/routed_port.h"
#include "support/sim_rig.h"
#include "support/stepped_clock.h"

namespace {

using namespace std::chrono_literals;

struct UnplugRig : SteppedTime, SimRig {
    UnplugRig() : SimRig(SimBehaviour::Unplug, true, clock) { link.runapp(); }

    // Runs the exchanges of an operation until the link closes; the number of
    // the exchange that found the cable out, 0 if none did.
    int pullAmong(int count, const std::function<bool(int)>& exchange) {
        for (int i = 1; i <= count; ++i) {
            const bool answered = exchange(i);
            if (!link.isOpen()) return i;
            EXPECT_TRUE(answered) << "exchange " << i;
        }
        return 0;
    }

    ListedPorts listed{ports, std::string(""), std::string("SIM"),
                       [this] { return port.devicePresent(); }};
};

Bytes filled(std::uint8_t value) {
    return Bytes(4 * kRamBlockSize, value);
}

}  // namespace

TEST(Unplug, TheCableComesOutInTheMiddleOfTheFirstLongOperation) {
    const Bytes image = patternedBytes(4 * kRamBlockSize, 7);
    Bytes blankImage = filled(0xFF);
    blankImage[3703] = 0xEF;  // the option bit "Прошить" forces
    const Bytes ff = filled(0xFF);
    struct Case {
        const char* operation;
        int exchanges;
        std::function<bool(UnplugRig&, int)> exchange;
        int pulledAt;
    };
    const auto chipLoad = [](const Bytes& source) {
        return [&source](UnplugRig& rig, int i) {
            const auto offset = static_cast<std::uint32_t>((i - 1) * kRamBlockSize);
            return rig.link.ramwrite(source, offset, offset, kRamBlockSize);
        };
    };
    const Case cases[] = {
        {"Прошить", 4, chipLoad(image), 3},
        {"Прошить, blank image", 4, chipLoad(blankImage), 4},
        {"RAM check, first phase", 128,
         [&ff](UnplugRig& rig, int i) {
             const auto address = static_cast<std::uint32_t>((i - 1) % 4 * kRamBlockSize);
             return rig.link.ramwrite(ff, address, address, kRamBlockSize);
         },
         100},
        {"firmware update", 480,
         [&image](UnplugRig& rig, int i) {
             if (i == 1) rig.link.ResetPulse();  // into the bootloader, as the update starts
             return rig.link.prog(image, static_cast<std::uint32_t>((i - 1) % 16 * 256));
         },
         200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        UnplugRig rig;
        EXPECT_EQ(rig.pullAmong(c.exchanges, [&](int i) { return c.exchange(rig, i); }),
                  c.pulledAt);
        EXPECT_TRUE(rig.device.unplugged());
    }
}

TEST(Unplug, TheCutWriteFailsHalfwayAndTheDeviceStaysAwayForThreeSeconds) {
    UnplugRig rig;
    const Bytes image = patternedBytes(4 * kRamBlockSize, 7);
    ASSERT_TRUE(rig.link.ramwrite(image, 0, 0, kRamBlockSize));
    ASSERT_TRUE(rig.link.ramwrite(image, 1024, 1024, kRamBlockSize));
    const Bytes flashBefore(rig.device.flash().begin(), rig.device.flash().end());

    Bytes third = commandFrame("ramwrite", {0, 0x08, 0, 0x04, 0});
    third.insert(third.end(), image.begin() + 2048, image.begin() + 3072);
    const auto start = rig.clock.now();
    try {
        rig.port.write(third);
        ADD_FAILURE() << "the cut write succeeded";
    } catch (const PortError& error) {
        EXPECT_STREQ(error.what(), "WriteFile function failed (Error: 6)");
    }
    EXPECT_EQ(rig.clock.now() - start, wireTime(third.size() / 2));
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.device.framesReceived("ramwrite"), 2);

    rig.clock.advance(3s - 1ms);
    EXPECT_TRUE(rig.listed.listPorts().empty());
    try {
        rig.port.open("SIM");
        ADD_FAILURE() << "a port whose device is away opened";
    } catch (const PortError& error) {
        EXPECT_STREQ(error.what(), "Unable to open com port (Error: 1)");
    }

    rig.clock.advance(1ms);
    EXPECT_EQ(rig.listed.listPorts(), std::vector<std::string>{"SIM"});
    // Freshly powered: bootloader, RAM cleared, the flash as it was left.
    EXPECT_FALSE(rig.device.unplugged());
    EXPECT_FALSE(rig.device.applicationRunning());
    EXPECT_EQ(std::count(rig.device.ram().begin(), rig.device.ram().end(), 0), 0x20000);
    EXPECT_EQ(Bytes(rig.device.flash().begin(), rig.device.flash().end()), flashBefore);

    // It comes out only once.
    rig.link.open();
    ASSERT_TRUE(rig.link.runapp());
    for (std::uint32_t offset = 0; offset < image.size(); offset += kRamBlockSize) {
        EXPECT_TRUE(rig.link.ramwrite(image, offset, offset, kRamBlockSize));
    }
}
