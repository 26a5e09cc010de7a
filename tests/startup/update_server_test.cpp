#include "startup/update_server.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

TEST(UpdateServer, EnvironmentThenSettingsFileThenTheBuiltInAddress) {
    struct Row {
        const char* ini;  // nullptr: no settings file
        std::optional<std::string> environment;
        std::string expected;
    };
    const std::string builtIn = kUpdateServerBase;
    const Row rows[] = {
        {nullptr, std::nullopt, builtIn},
        {"[VIEW]\nTOP=5\n", std::nullopt, builtIn},
        {"[UPDATE]\nSERVER=\n", std::nullopt, builtIn},
        {"[update]\nserver = http://10.0.0.5:8000\n", std::nullopt, "http://10.0.0.5:8000"},
        {"[UPDATE]\nSERVER=http://10.0.0.5:8000/\n", std::nullopt, "http://10.0.0.5:8000"},
        {"[UPDATE]\nSERVER=http://10.0.0.5:8000\n", "http://127.0.0.1:9000",
         "http://127.0.0.1:9000"},
        {nullptr, "http://127.0.0.1:9000", "http://127.0.0.1:9000"},
        {"[UPDATE]\nSERVER=http://10.0.0.5:8000\n", "", "http://10.0.0.5:8000"},
    };
    for (const Row& row : rows) {
        TempFolder folder;
        if (row.ini != nullptr) folder.write("Telvarn.ini", row.ini);
        SettingsFile settings(folder.file("Telvarn.ini"));
        EXPECT_EQ(updateServerBase(settings, row.environment), row.expected)
            << (row.ini ? row.ini : "no file") << " / " << row.environment.value_or("unset");
    }
}

}  // namespace
