#include "app/restart_step.h"

#include <gtest/gtest.h>

#include <fstream>

#include "startup/program_files.h"
#include "base/file_path.h"
#include "support/fake_desktop.h"
#include "support/temp_folder.h"

// An old instance that has not ended yet holds its program file open. Windows
// then refuses to replace the file, and the old program is started again with
// the download kept; other systems replace it under the running instance.
TEST(RestartStep, AProgramStillOpenIsReplacedOnlyWhereTheSystemAllowsIt) {
    TempFolder folder;
    folder.write(kProgramFileName, "old program");
    folder.write(kVersionFileName, "new program");
    ManualPump pump;
    FakeSystemServices system;
    {
        std::ifstream running(pathFromUtf8(folder.file(kProgramFileName)));
        ASSERT_TRUE(running.is_open());
        runRestartStep(pump, system, utf8Of(folder.path()));
    }
#ifdef _WIN32
    EXPECT_EQ(folder.read(kProgramFileName), "old program");
    EXPECT_EQ(folder.read(kVersionFileName), "new program");
#else
    EXPECT_EQ(folder.read(kProgramFileName), "new program");
    EXPECT_FALSE(folder.exists(kVersionFileName));
#endif
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0].path, folder.file(kProgramFileName));
    EXPECT_TRUE(system.quitRequested);
}
