#include <gtest/gtest.h>

#include "control/ram_check.h"
#include "support/ram_model.h"
#include "support/recorded_report.h"
#include "support/sim_rig.h"

namespace {

// The RAM check on the simulated programmer, its application started.
struct SimRamRig : SimRig {
    explicit SimRamRig(SimBehaviour behaviour) : SimRig(behaviour) { link.runapp(); }
    bool checkRam() { return runRamCheck(link, log, random); }
    RecordedReport log;
    RandomSource random;
};

TEST(RamCheckOnSimulator, SoundRamPassesEveryPhase) {
    SimRamRig rig(SimBehaviour::Normal);
    rig.checkRam();
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK OK OK OK OK OK"));
    EXPECT_EQ(rig.device.framesReceived("ramwrite"), 384);
    EXPECT_EQ(rig.device.framesReceived("ramread"), 384);
    EXPECT_EQ(rig.log.progress(), "");
    // The device's RAM holds the random pattern last written, from its start.
    RandomSource fresh;
    EXPECT_EQ(rig.device.ram()[0], fresh.nextByte());
}

TEST(RamCheckOnSimulator, BadRamFailsTheReadsOfNonZeroPatterns) {
    SimRamRig rig(SimBehaviour::BadRam);
    rig.checkRam();
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK ER OK OK OK ER"));
}

}  // namespace
