#include <gtest/gtest.h>

#include "menu_rig.h"

// "Поиск" arms the firmware update's timer again whenever it leaves the link
// open: an error that escaped an update (a cable pulled mid-way) left it off.
TEST(Find, ArmsTheFirmwareTimerWhenTheLinkIsLeftOpen) {
    struct Case {
        const char* what;
        bool found;
        bool timerBefore;
    };
    for (const Case c : {Case{"found after an update was cut short", true, false},
                         Case{"found while idle", true, true}, Case{"not found", false, false}}) {
        SCOPED_TRACE(c.what);
        MenuViewRig<ScriptedLink> rig;
        rig.timerProg->setEnabled(c.timerBefore);
        rig.discovery = [&rig, found = c.found] {
            rig.link.close();
            if (found) rig.link.open();
        };
        rig.choose(rig.menu.MainMenuProgFind);
        EXPECT_EQ(rig.discoveries, 1);
        EXPECT_EQ(rig.timerProg->enabled(), c.found);
    }
}
