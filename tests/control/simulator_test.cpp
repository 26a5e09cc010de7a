#include <gtest/gtest.h>

#include "ram_model.h"
#include "support/programmer_menu_rig.h"
#include "support/sim_rig.h"

namespace {

// The programmer menu driving the simulated programmer, its application started.
struct SimMenuRig : ProgrammerMenuRig<SimRig> {
    explicit SimMenuRig(SimBehaviour behaviour) : ProgrammerMenuRig(behaviour) { link.runapp(); }
};

TEST(ProgrammerMenuOnSimulator, SoundRamPassesEveryPhase) {
    SimMenuRig rig(SimBehaviour::Normal);
    rig.choose(rig.menu.MainMenuProgCheckRam);
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK OK OK OK OK OK"));
    EXPECT_EQ(rig.device.framesReceived("ramwrite"), 384);
    EXPECT_EQ(rig.device.framesReceived("ramread"), 384);
    EXPECT_EQ(rig.status.text(), "");
    // The device's RAM holds the random pattern last written, from its start.
    RandomSource fresh;
    EXPECT_EQ(rig.device.ram()[0], fresh.nextByte());
}

TEST(ProgrammerMenuOnSimulator, BadRamFailsTheReadsOfNonZeroPatterns) {
    SimMenuRig rig(SimBehaviour::BadRam);
    rig.choose(rig.menu.MainMenuProgCheckRam);
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK ER OK OK OK ER"));
}

TEST(ProgrammerMenuOnSimulator, MarksShowWhatTheDeviceReportsAfterEachChoice) {
    SimMenuRig rig(SimBehaviour::Normal);
    rig.device.setSupply(SimSupply::Vdd3);
    rig.device.setVpr(true);
    rig.device.setMux("110");
    rig.choose(rig.menu.MainMenuProg);
    EXPECT_TRUE(rig.menu.MainMenuProgVdd3.checked());
    EXPECT_TRUE(rig.menu.MainMenuProgVpr.checked());
    EXPECT_TRUE(rig.menu.MainMenuProgMUX110.checked());

    rig.choose(rig.menu.MainMenuProgVddU);
    rig.choose(rig.menu.MainMenuProgVpr);
    rig.choose(rig.menu.MainMenuProgMUX101);
    EXPECT_EQ(rig.device.supply(), SimSupply::Vddu);
    EXPECT_FALSE(rig.device.vpr());
    EXPECT_EQ(rig.device.mux(), "101");
    const std::vector<std::string> lines = {"Напряжение VDDU установлено",
                                            "Напряжение VPR отключено",
                                            "Состояние выходов MUX=101 установлено"};
    EXPECT_EQ(rig.log.lines(), lines);

    rig.choose(rig.menu.MainMenuProgVdd);
    EXPECT_TRUE(rig.menu.MainMenuProgVddU.checked());
    EXPECT_FALSE(rig.menu.MainMenuProgVdd3.checked());
    EXPECT_FALSE(rig.menu.MainMenuProgVpr.checked());
    EXPECT_TRUE(rig.menu.MainMenuProgMUX101.checked());
    EXPECT_FALSE(rig.menu.MainMenuProgMUX110.checked());
}

}  // namespace
