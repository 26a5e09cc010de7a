// Every call the loop makes into the core passes the window's one guard.
#include <gtest/gtest.h>

#include <functional>

#include "app/main_window.h"
#include "base/errors.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"

TEST(LoopGuard, AnErrorEscapingATimerTickOrAPostedCallBecomesOneMessageBox) {
    TempFolder folder;
    PortlessDesktop fakes;
    fakes.system.exePath = folder.file("Telvarn");
    MainWindow window(fakes.desktop, {});
    ManualPump& pump = fakes.pump;

    std::unique_ptr<Timer> timer;
    struct Case {
        const char* entry;
        std::function<void()> raise;
        const char* shown;
    };
    const Case cases[] = {
        {"posted call", [&] { pump.post([] { throw PortError("Unable to open com port", 5); }); },
         "Unable to open com port (Error: 5)"},
        {"timer tick",
         [&] {
             timer = pump.createTimer([] { throw AppError("Unable to write to Telvarn.ini"); });
             static_cast<ManualPump::ManualTimer&>(*timer).onTick();
         },
         "Unable to write to Telvarn.ini"},
        {"posted call raising a non-error", [&] { pump.post([] { throw 42; }); }, "Unknown error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        fakes.dialogs.errors.clear();
        c.raise();
        bool goesOn = false;
        pump.post([&] { goesOn = true; });
        pump.processPending();
        EXPECT_EQ(fakes.dialogs.errors, std::vector<std::string>{c.shown});
        EXPECT_TRUE(goesOn);
    }
}
