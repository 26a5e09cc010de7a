#include "update/version_check.h"

#include <gtest/gtest.h>

#include "update_rig.h"

namespace {

using Kind = UpdateChannel::Kind;

const UpdateChannel& channelOf(Kind kind) {
    return kind == Kind::Program ? programChannel() : firmwareChannel();
}

// One version file arriving at a check, and what the check makes of it.
struct VersionRow {
    const char* name;
    Kind kind;
    std::int32_t installed;
    std::string body;
    // Whether an earlier file had offered a download (checksum "OLD", notes
    // "Earlier"), and whether one can be asked for after this file.
    bool before;
    bool after;
    bool notice;
    // The offer afterwards, checksum then notes: a file not accepted changes nothing.
    std::vector<std::string> offer;
};

constexpr bool on = true;
constexpr bool off = false;
const std::vector<std::string> kEarlier{"OLD", "Earlier"};
const std::string kTag = "Telvarn-1_APPL";

// A version file of the program offering 15, its one line of notes as long as
// makes the file `size` bytes.
const std::string kHead15 = "Telvarn\r\n15\r\nC\r\n";
std::string longNotes(std::size_t size) {
    return std::string(size - kHead15.size(), 'N');
}

// A version file accepted before the one under test.
void offerEarlier(UpdateRig& rig) {
    rig.serve({serving(rig.versionFile(rig.installed + 1, "OLD", "Earlier\r\n"))});
    rig.check->TimerTick();
    ASSERT_TRUE(rig.downloadable());
    rig.socket.connections.clear();
    rig.log.clear();
}

// clang-format off
const VersionRow kVersionRows[] = {
    // name, check, installed version, file,
    //     downloadable before, after, notice, offer after
    {"NewerProgram", Kind::Program, 14, "Telvarn\r\n15\r\n0A1B2C3D\r\nИсправления\r\n",
         off, on, on, {"0A1B2C3D", "Исправления"}},
    {"EqualVersionDisablesAgain", Kind::Program, 14, "Telvarn\r\n14\r\n0A1B2C3D\r\nN\r\n",
         on, off, off, {"0A1B2C3D", "N"}},
    {"OlderVersion", Kind::Program, 14, "Telvarn\r\n-3\r\nC\r\nN\r\n",
         off, off, off, {"C", "N"}},
    {"ThreeLinesAreIgnored", Kind::Program, 14, "Telvarn\r\n15\r\n0A1B2C3D\r\n",
         on, on, off, kEarlier},
    {"TagFollowedByABlank", Kind::Program, 14, "Telvarn \r\n15\r\nC\r\nN\r\n",
         off, off, off, {}},
    {"TagInOtherCase", Kind::Program, 14, "TELVARN\r\n15\r\nC\r\nN\r\n",
         off, off, off, {}},
    {"LinesEndingInLfOnly", Kind::Program, 14, "Telvarn\n15\nC\nOne\nTwo",
         off, on, on, {"C", "One", "Two"}},
    {"LinesEndingInCrOnly", Kind::Program, 14, "Telvarn\r15\rC\rOne\r\rTwo\r",
         off, on, on, {"C", "One", "", "Two"}},
    {"NulEndsTheText", Kind::Program, 14, std::string("Telvarn\n15\nC\n\0Notes\n", 20),
         on, on, off, kEarlier},
    {"NulInsideTheNotes", Kind::Program, 14, std::string("Telvarn\n15\nC\nNo\0tes\n", 20),
         off, on, on, {"C", "No"}},
    {"NonIntegerVersionIsIgnored", Kind::Program, 14, "Telvarn\r\n15a\r\nC\r\nN\r\n",
         on, on, off, kEarlier},
    {"VersionBeyond32Bits", Kind::Program, 14, "Telvarn\r\n2147483648\r\nC\r\nN\r\n",
         off, off, off, {}},
    {"ProgramFileAtTheFirmwareCheck", Kind::Firmware, 7, "Telvarn\r\n15\r\nC\r\nN\r\n",
         off, off, off, {}},
    {"FirmwareNeedingAnUpdateTakesVersion0", Kind::Firmware, -2, kTag + "\r\n0\r\nC\r\nN\r\n",
         off, on, on, {"C", "N"}},
    {"FirmwareOfTheSameVersion", Kind::Firmware, 7, kTag + "\r\n7\r\nC\r\nN\r\n",
         on, off, off, {"C", "N"}},
    {"NewerFirmware", Kind::Firmware, 7, kTag + "\r\n8\r\nC\r\nN\r\n",
         off, on, on, {"C", "N"}},
    {"AsLongAsAVersionFileMayBe", Kind::Program, 14, kHead15 + longNotes(kVersionFileLimit),
         off, on, on, {"C", longNotes(kVersionFileLimit)}},
};
// clang-format on

void PrintTo(const VersionRow& row, std::ostream* out) {
    *out << row.name;
}

class VersionFile : public ::testing::TestWithParam<VersionRow> {};

TEST_P(VersionFile, SetsWhatCanBeDownloadedAndTheOffer) {
    const VersionRow& row = GetParam();
    UpdateRig rig(channelOf(row.kind));
    rig.installed = row.installed;
    if (row.before) offerEarlier(rig);
    rig.serve({serving(row.body)});

    rig.check->TimerTick();

    EXPECT_EQ(rig.requestLines(),
              std::vector<std::string>{"GET /products/Telvarn/version HTTP/1.0"});
    EXPECT_EQ(rig.downloadable(), row.after);
    EXPECT_EQ(rig.offered(), row.offer);
    const std::vector<std::string> notice{rig.channel->notice};
    EXPECT_EQ(rig.log.lines(), row.notice ? notice : std::vector<std::string>{});
    EXPECT_FALSE(rig.folder.exists(rig.localName()));
}

INSTANTIATE_TEST_SUITE_P(Rows, VersionFile, ::testing::ValuesIn(kVersionRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VersionCheckTimer, FirmwareCheckWaitsForTheVersionThenRepeatsEveryHalfHour) {
    UpdateRig rig(firmwareChannel());
    rig.installed = -1;
    rig.check->TimerTick();
    EXPECT_TRUE(rig.socket.resolved.empty());
    EXPECT_EQ(rig.timer->interval(), 5000u);

    rig.installed = 7;
    rig.serve({serving(rig.versionFile(8, "C"))});
    std::uint32_t intervalAtRequest = 0;
    rig.client.OnStateChange = [&](THttpCli&) {
        if (intervalAtRequest == 0) intervalAtRequest = rig.timer->interval();
    };
    rig.check->TimerTick();
    EXPECT_EQ(rig.socket.resolved.size(), 1u);
    EXPECT_EQ(intervalAtRequest, 1800000u);
    EXPECT_TRUE(rig.downloadable());
}

// A request that fails logs the check's line and changes no offer; a body that
// came with the error status is deleted unread.
struct FailureRow {
    const char* name;
    Kind kind;
    ScriptedPeer server;
};

const FailureRow kFailureRows[] = {
    {"ProgramServerDown", Kind::Program, unreachable()},
    {"FirmwareServerDown", Kind::Firmware, unreachable()},
    {"ProgramErrorPageUnread", Kind::Program, serving("Gone\n", "404 Not Found")},
    // A server that sends on and on: the request ends at the limit.
    {"LongerThanAVersionFileMayBe", Kind::Program,
     serving(kHead15 + longNotes(kVersionFileLimit + 1))},
};

void PrintTo(const FailureRow& row, std::ostream* out) {
    *out << row.name;
}

class FailedCheck : public ::testing::TestWithParam<FailureRow> {};

TEST_P(FailedCheck, LogsItsLineAndTriesAgainInHalfAnHour) {
    const FailureRow& row = GetParam();
    UpdateRig rig(channelOf(row.kind));
    offerEarlier(rig);
    rig.timer->setInterval(3000);
    rig.serve({row.server});
    rig.check->TimerTick();
    EXPECT_EQ(rig.log.lines(), std::vector<std::string>{rig.channel->checkFailure});
    EXPECT_EQ(rig.timer->interval(), 1800000u);
    EXPECT_TRUE(rig.downloadable());
    EXPECT_EQ(rig.offered(), kEarlier);
    EXPECT_FALSE(rig.folder.exists(rig.localName()));
}

INSTANTIATE_TEST_SUITE_P(Rows, FailedCheck, ::testing::ValuesIn(kFailureRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
