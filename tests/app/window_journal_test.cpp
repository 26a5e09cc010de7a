#include "app/window_journal.h"

#include <gtest/gtest.h>

#include "base/file_path.h"
#include "support/fake_desktop.h"
#include "support/temp_folder.h"

namespace {

TEST(WindowJournal, AJournalThatCannotBeOpenedIsShownOnceAndTheWindowGoesOn) {
    TempFolder folder;
    FakeDialogs dialogs;
    EXPECT_EQ(openWindowJournal(std::nullopt, dialogs), nullptr);
    EXPECT_NE(openWindowJournal(folder.file("j.csv"), dialogs), nullptr);
    EXPECT_TRUE(dialogs.errors.empty());

    // A folder where the file should be.
    EXPECT_EQ(openWindowJournal(utf8Of(folder.path()), dialogs), nullptr);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("cannot open the journal"), std::string::npos);
}

}  // namespace
