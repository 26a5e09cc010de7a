#include "session/journal.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/errors.h"
#include "base/file_path.h"
#include "base/text.h"
#include "session/programmer_session.h"
#include "support/recorded_report.h"
#include "support/scripted_link.h"
#include "support/sim_rig.h"
#include "support/temp_folder.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The records of a journal whose fields need no quotes.
Rows rowsOf(const std::string& text) {
    Rows rows;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        rows.emplace_back(1);
        for (const char c : text.substr(at, end - at)) {
            if (c == ',') rows.back().emplace_back();
            if (c != ',') rows.back().back() += c;
        }
    }
    return rows;
}

JournalRow rowNamed(const std::string& file) {
    JournalRow row;
    row.time = "2026-12-09T04:10:03+01:00";
    row.port = "COM3";
    row.file = file;
    return row;
}

std::unique_ptr<Journal> opened(const std::string& path) {
    std::string error;
    auto journal = Journal::open(path, error);
    EXPECT_NE(journal, nullptr) << error;
    return journal;
}

TEST(Journal, HeaderOnceAndEarlierRowsNeverLost) {
    for (const bool existsEmpty : {false, true}) {
        TempFolder folder;
        if (existsEmpty) folder.write("журнал.csv", "");
        opened(folder.file("журнал.csv"))->append(rowNamed("first.txt"));
        opened(folder.file("журнал.csv"))->append(rowNamed("second.txt"));
        EXPECT_EQ(rowsOf(folder.read("журнал.csv")),
                  (Rows{journalHeader(), rowNamed("first.txt").fields(),
                        rowNamed("second.txt").fields()}));
    }
}

TEST(Journal, RowsOfSeveralThreadsNeverInterleave) {
    TempFolder folder;
    const auto journal = opened(folder.file("j.csv"));
    const JournalRow row = rowNamed(std::string(5000, 'x'));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) journal->append(row);
        });
    }
    for (auto& thread : threads) thread.join();
    const Rows rows = rowsOf(folder.read("j.csv"));
    ASSERT_EQ(rows.size(), 201u);
    for (std::size_t i = 1; i < rows.size(); ++i) ASSERT_EQ(rows[i], row.fields()) << i;
}

TEST(Journal, AFileThatCannotBeOpenedOrWrittenIsRefusedWithTheReason) {
    TempFolder folder;
    std::vector<std::string> paths = {utf8Of(folder.path()), folder.file("нет/j.csv")};
#ifdef __linux__
    paths.push_back("/dev/full");
#endif
    for (const std::string& path : paths) {
        std::string error;
        EXPECT_EQ(Journal::open(path, error), nullptr) << path;
        EXPECT_NE(error.find(path + " ("), std::string::npos) << error;
    }
}

struct Journaled {
    TempFolder folder;
    std::string error;
    std::unique_ptr<Journal> journal = Journal::open(folder.file("j.csv"), error);
    RecordedReport log;

    // The rows after the header without their time and seconds, which vary.
    Rows rows() const {
        Rows rows = rowsOf(folder.read("j.csv"));
        rows.erase(rows.begin());
        for (auto& row : rows) row = std::vector<std::string>(row.begin() + 1, row.end() - 1);
        return rows;
    }
};

TEST(SessionJournal, ChipOperationsChecksAndFlashesOnTheSimulator) {
    const char* cases[][3] = {{"ok", "", ""}, {"failed", "verify", "ram"}};
    for (const auto& [result, phase, ramPhase] : cases) {
        Journaled j;
        SimRig rig(*phase ? SimBehaviour::BadRam : SimBehaviour::Normal);
        rig.ports.names = {"SIM"};
        ProgrammerSession session(rig.link, j.log);
        session.setJournal(j.journal.get());
        session.find();
        session.selectVariant(kVariant02);
        j.folder.write("data.txt", "5\n7\n");
        const std::string crc = hexLong(session.load(j.folder.file("data.txt")).crc);
        session.program();
        session.checkRam();
        session.flash(j.folder.file("missing.cbin"));
        EXPECT_EQ(j.rows(), (Rows{{"SIM", "00012345", "15", "program", j.folder.file("data.txt"),
                                   crc, "9912ЛК047", result, phase},
                                  {"SIM", "00012345", "15", "ram-check", "", "", "",
                                   *ramPhase ? "failed" : "ok", ramPhase},
                                  {"SIM", "00012345", "15", "flash", j.folder.file("missing.cbin"),
                                   "", "", "failed", "file"}}));
    }
}

TEST(SessionJournal, AnEscapingErrorEndsAtThePortAsFailedOrCancelled) {
    for (const bool cancelled : {false, true}) {
        Journaled j;
        ScriptedLink scripted;
        scripted.link.open();
        scripted.port.failing = {"purge"};
        ProgrammerSession session(scripted.link, j.log);
        session.setJournal(j.journal.get(), [cancelled] { return cancelled; });
        EXPECT_THROW(session.checkOutputs(), PortError);
        EXPECT_EQ(j.rows(), (Rows{{"COM1", "", "", "outputs-check", "", "", "",
                                   cancelled ? "cancelled" : "failed", "port"}}));
    }
}

}  // namespace
