#include "update/self_update.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "update/release_system.h"
#include "signed_release.h"
#include "update_rig.h"

namespace {

const std::string kDownload = "new program bytes \x01\x02\x03";
const std::string kDownloadRequest = "GET /products/Telvarn/download HTTP/1.0";

// A check that has accepted a version file offering kDownload, with the old
// program, an older saved copy and a firmware file as the test sets them up.
struct Download : ::testing::Test {
    void prepare(UpdateRig& rig, const std::string& notes = "Исправления\r\n") {
        rig.folder.write("Telvarn", "old program");
        rig.folder.write("Telvarn_V14", "older copy");
        rig.offer(kDownload, notes);
        rig.log.clear();
    }
};

TEST_F(Download, ProgramWithMatchingChecksumRestartsThroughTheSavedCopy) {
    UpdateRig rig(programChannel());
    prepare(rig);
    rig.serve({serving(kDownload)});
    const std::uint32_t before = rig.pump.now;
    rig.check->DownloadClick();

    EXPECT_EQ(rig.requestLines().back(), kDownloadRequest);
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(rig.log.lines(), std::vector<std::string>{"Загрузка обновления завершена"});
    EXPECT_EQ(rig.dialogs.informs,
              std::vector<std::string>{"Загрузка обновления завершена. Программа будет "
                                       "перезапущена.\nСтарая версия программы будет сохранена "
                                       "как Telvarn_V14"});
    EXPECT_EQ(rig.folder.read("Telvarn_V14"), "old program");
    EXPECT_EQ(rig.folder.read("Telvarn"), "old program");
    EXPECT_EQ(rig.folder.read("version"), kDownload);
    ASSERT_EQ(rig.system.started.size(), 1u);
    EXPECT_EQ(rig.system.started[0].path, rig.folder.file("Telvarn_V14"));
    EXPECT_EQ(rig.system.started[0].args, std::vector<std::string>{"PAUSE"});
    EXPECT_TRUE(rig.system.started[0].hidden);
    EXPECT_GE(rig.pump.now - before, 5000u);  // the old instance has time to end
    EXPECT_EQ(rig.closeRequests, 1);
    EXPECT_FALSE(rig.downloadable());
}

TEST_F(Download, FirmwareWithMatchingChecksumIsHandedToTheFirmwareUpdate) {
    UpdateRig rig(firmwareChannel());
    rig.offer(kDownload);
    rig.serve({serving(kDownload)});
    rig.check->DownloadClick();

    EXPECT_EQ(rig.folder.read("Telvarn-1_APPL.cbin"), kDownload);
    EXPECT_FALSE(rig.folder.exists("version_cbin"));
    EXPECT_EQ(rig.log.lines().back(), "Загрузка обновления прошивки завершена");
    EXPECT_EQ(rig.dialogs.informs,
              std::vector<std::string>{"Загрузка обновления прошивки завершена."});
    EXPECT_FALSE(rig.downloadable());
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_TRUE(rig.system.started.empty());
    EXPECT_EQ(rig.closeRequests, 0);
    EXPECT_EQ(rig.client.URL, UpdateRig::kVersionUrl);  // not flashed again at the next tick
}

TEST_F(Download, FirmwareFileAlreadyWaitingIsKept) {
    UpdateRig rig(firmwareChannel());
    rig.folder.write("Telvarn-1_APPL.cbin", "older firmware");
    rig.offer(kDownload);
    rig.serve({serving(kDownload)});
    rig.check->DownloadClick();
    EXPECT_EQ(rig.folder.read("Telvarn-1_APPL.cbin"), "older firmware");
    EXPECT_EQ(rig.folder.read("version_cbin"), kDownload);
}

// A version file that arrives while the question is open, or a programmer
// changed meanwhile, never changes what Yes downloads: the release shown, and
// only while it is newer than the one installed.
TEST_F(Download, YesTakesTheReleaseTheQuestionShowed) {
    const std::string older = "older program bytes";
    struct Row {
        const char* name;
        std::int32_t offeredMeanwhile;  // 0: none
        std::string offeredBytes;       // what that offer's checksum is of
        std::string served;             // the download
        std::int32_t installedMeanwhile;
        std::vector<std::string> log;
    };
    const Row rows[] = {
        {"an older release offered meanwhile", 13, older, older, 14,
         {"Ошибка контрольной суммы файла обновления программы прошивки"}},
        {"a newer release offered meanwhile", 16, "newer bytes", kDownload, 14,
         {"Загрузка обновления прошивки завершена"}},
        {"the programmer's firmware is as new by now", 0, "", kDownload, 15, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UpdateRig rig(firmwareChannel());
        rig.offer(kDownload);
        rig.log.clear();
        rig.dialogs.whileAsking = [&] {
            rig.installed = row.installedMeanwhile;
            if (row.offeredMeanwhile != 0) {
                rig.serve({serving(
                    rig.versionFile(row.offeredMeanwhile, checksumOf(row.offeredBytes)))});
                rig.check->TimerTick();
                rig.log.clear();
            }
            rig.serve({serving(row.served)});
        };
        const std::size_t requestsBefore = row.offeredMeanwhile == 0 ? 1u : 2u;
        rig.check->DownloadClick();
        EXPECT_EQ(rig.log.lines(), row.log);
        EXPECT_EQ(rig.requestLines().size(), requestsBefore + (row.log.empty() ? 0u : 1u));
        EXPECT_EQ(rig.folder.exists("Telvarn-1_APPL.cbin"), row.served == kDownload &&
                                                                !row.log.empty());
    }
}

// From Yes to the restart, or to the firmware's hand-over, no version check
// starts: it would remove or overwrite the download being installed.
TEST_F(Download, NoCheckRunsWhileTheDownloadIsInstalled) {
    for (const UpdateChannel* channel : {&programChannel(), &firmwareChannel()}) {
        UpdateRig rig(*channel);
        rig.folder.write("Telvarn", "old program");
        rig.offer(kDownload);
        rig.dialogs.whileInforming = [&] { rig.check->TimerTick(); };
        rig.serve({serving(kDownload), serving(rig.versionFile(16, "C"))});
        rig.check->DownloadClick();
        EXPECT_EQ(rig.requestLines().size(), 2u) << rig.channel->notice;
        if (rig.firmware()) {
            EXPECT_EQ(rig.folder.read("Telvarn-1_APPL.cbin"), kDownload);
            rig.check->TimerTick();  // the hand-over is done: checks run again
            EXPECT_EQ(rig.requestLines().size(), 3u);
        } else {
            EXPECT_EQ(rig.folder.read("version"), kDownload);
            rig.check->TimerTick();  // and never again before the restart
            EXPECT_EQ(rig.requestLines().size(), 2u);
        }
    }
}

// Whatever makes the checksum test fail, nothing is installed.
struct ChecksumRow {
    const char* name;
    bool firmware;
    std::string checksumLine;  // empty: the download's own
    std::string served;        // the response to the download request
    bool blocked = false;      // the local file cannot be created
};

std::string response(const std::string& body, std::size_t length) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n" + body;
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const ChecksumRow kChecksumRows[] = {
    {"ProgramOtherFile", false, "", response("other bytes", 11)},
    {"ProgramLowerCaseChecksum", false, lowerCase(checksumOf(kDownload)),
     response(kDownload, kDownload.size())},
    // Nothing stored, nothing read: not even the checksum of an unread file matches.
    {"ProgramNotStored", false, "FFFFFFFF", response(kDownload, kDownload.size()), true},
    {"FirmwareOtherFile", true, "", response("other bytes", 11)},
    {"FirmwareLowerCaseChecksum", true, lowerCase(checksumOf(kDownload)),
     response(kDownload, kDownload.size())},
};

void PrintTo(const ChecksumRow& row, std::ostream* out) {
    *out << row.name;
}

class ChecksumFailure : public ::testing::TestWithParam<ChecksumRow> {};

TEST_P(ChecksumFailure, InstallsNothing) {
    const ChecksumRow& row = GetParam();
    UpdateRig rig(row.firmware ? firmwareChannel() : programChannel());
    rig.folder.write("Telvarn", "old program");
    if (!row.checksumLine.empty()) {
        rig.serve({serving(rig.versionFile(rig.installed + 1, row.checksumLine))});
        rig.check->TimerTick();
    } else {
        rig.offer(kDownload);
    }
    if (row.blocked)
        std::filesystem::create_directories(rig.folder.path() / rig.localName() / "in");
    ScriptedPeer server;
    server.responses = {row.served};
    rig.serve({server});
    rig.check->DownloadClick();

    rig.expectRefused(rig.channel->checksumFailure);
}

INSTANTIATE_TEST_SUITE_P(Rows, ChecksumFailure, ::testing::ValuesIn(kChecksumRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Download, ConfirmationShowsEachReleaseNotesLineEndedByALineFeed) {
    struct Notes {
        std::string file;
        std::string shown;
    };
    for (const Notes& notes : {Notes{"Одна строка\r\n", "Одна строка\n"},
                               Notes{"Первая\r\nВторая", "Первая\nВторая\n"}}) {
        UpdateRig rig(programChannel());
        rig.dialogs.answerYes = false;
        prepare(rig, notes.file);
        rig.check->DownloadClick();
        ASSERT_EQ(rig.dialogs.questions.size(), 1u);
        EXPECT_EQ(rig.dialogs.questions[0].first, notes.shown);
        EXPECT_EQ(rig.dialogs.questions[0].second, "Загрузка обновления программы:");
    }
}

// Half a version file is no offer: it leaves the one made before, notes and
// checksum, and is never read as them.
TEST_F(Download, AVersionFileNotAcceptedLeavesTheOfferAsItWas) {
    UpdateRig rig(programChannel());
    prepare(rig);
    rig.serve({serving("Telvarn\r\n16\r\n"), serving(kDownload)});
    rig.check->TimerTick();
    rig.check->DownloadClick();
    EXPECT_EQ(rig.dialogs.questions.at(0).first, "Исправления\n");
    EXPECT_EQ(rig.log.lines(), std::vector<std::string>{"Загрузка обновления завершена"});
}

TEST_F(Download, NoLeavesEverythingAsItWas) {
    UpdateRig rig(firmwareChannel());
    rig.dialogs.answerYes = false;
    rig.offer(kDownload);
    rig.check->DownloadClick();
    EXPECT_EQ(rig.dialogs.questions.at(0).second, "Загрузка обновления программы прошивки:");
    EXPECT_TRUE(rig.downloadable());
    EXPECT_EQ(rig.client.URL, UpdateRig::kVersionUrl);
    EXPECT_EQ(rig.socket.connections.size(), 1u);  // the version file's only
}

// An error page; no document (no body, a 304, a close before the status line);
// a body cut short. The two kinds take turns.
TEST_F(Download, FailedDownloadIsToldOnceEnablesTheItemAndLaterTicksReadTheVersionFile) {
    const std::string failures[] = {
        "HTTP/1.0 503 Service Unavailable\r\n\r\n<html>\r\n<body>\r\nBusy\r\n</html>\r\n",
        response("", 0), "HTTP/1.0 304 Not Modified\r\n\r\n", "",
        response(kDownload.substr(0, 8), kDownload.size())};
    for (std::size_t i = 0; i < std::size(failures); ++i) {
        UpdateRig rig(i % 2 ? programChannel() : firmwareChannel());
        rig.offer(kDownload);
        ScriptedPeer server;
        server.responses = {failures[i]};
        rig.serve({server, serving(rig.versionFile(rig.installed + 1, "C"))});
        rig.check->DownloadClick();
        EXPECT_TRUE(rig.downloadable()) << i;
        rig.check->TimerTick();
        const auto& c = *rig.channel;
        EXPECT_EQ(rig.log.lines(), (std::vector{c.notice, c.downloadFailure, c.notice})) << i;
    }
}

}  // namespace

namespace {

// A build with a release key: the download is installed only with the key's
// signature of the release the version file offers, for this build's system
// ("Telvarn 15 linux-x86_64").
struct SignatureRow {
    const char* name;
    bool firmware;
    std::string signature;  // the response to the signature request
    bool installs = false;
    std::string file = signed_release::kFile;  // what the download serves
};

std::string minisig(const std::string& text) {
    return response(text + "\n", text.size() + 1);
}

// Another release's signature whose trusted comment is rewritten to this one's.
std::string withCommentEdited(std::string text) {
    const std::string older = "trusted comment: Telvarn 14";
    return text.replace(text.find(older), older.size(), "trusted comment: Telvarn 15");
}

// The program releases of this build's system, and of the other one.
const bool kWindowsBuild = kReleaseSystem == "windows-x86_64";
const std::string& kOwn15 = kWindowsBuild ? signed_release::kProgram15Windows
                                          : signed_release::kProgram15Linux;
const std::string& kOwn14 = kWindowsBuild ? signed_release::kProgram14Windows
                                          : signed_release::kProgram14Linux;
const std::string& kOtherSystems15 = kWindowsBuild ? signed_release::kProgram15Linux
                                                   : signed_release::kProgram15Windows;

std::string withOneByteChanged(std::string text) {
    text[text.size() / 2] ^= 0x01;
    return text;
}

using namespace signed_release;
const SignatureRow kSignatureRows[] = {
    {"ProgramSigned", false, minisig(kOwn15), true},
    {"FirmwareSigned", true, minisig(kFirmware15), true},
    {"OneByteOfTheFileChanged", false, minisig(kOwn15), false, withOneByteChanged(kFile)},
    {"AnotherKey", false, minisig(kOtherKey)},
    {"AnOlderReleaseUnderANewerNumber", false, minisig(kOwn14)},
    {"ACommentEditedAfterSigning", false, minisig(withCommentEdited(kOwn14))},
    {"TheOtherSystemsProgram", false, minisig(kOtherSystems15)},
    {"AProgramBoundToNoSystem", false, minisig(kProgram15Unbound)},
    {"TheFirmwaresReleaseForTheProgram", false, minisig(kFirmware15)},
    {"TheProgramsReleaseForTheFirmware", true, minisig(kOwn15)},
    {"Missing", false, "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nNot Found"},
    {"Empty", false, response("", 0)},
    {"Truncated", false, minisig(kOwn15.substr(0, kOwn15.size() / 2))},
    {"LongerThanFourKiB", false, minisig(kOwn15 + "\n" + std::string(4000, ' '))},
    {"Malformed", false, minisig("untrusted comment: x\nRUQ!\ntrusted comment: Telvarn 15\nAA==")},
    {"TheOlderUnhashedForm", false, minisig(kUnhashed)},
};

void PrintTo(const SignatureRow& row, std::ostream* out) {
    *out << row.name;
}

class Signature : public ::testing::TestWithParam<SignatureRow> {};

TEST_P(Signature, OnlyTheReleaseKeysSignatureOfTheOfferedReleaseInstalls) {
    const SignatureRow& row = GetParam();
    UpdateRig rig(row.firmware ? firmwareChannel() : programChannel());
    rig.trust = ReleaseTrust{kKey};
    rig.folder.write("Telvarn", "old program");
    rig.offer(row.file);
    rig.log.clear();
    ScriptedPeer signatureServer;
    signatureServer.responses = {row.signature};
    rig.serve({serving(row.file), signatureServer});
    rig.check->DownloadClick();

    EXPECT_EQ(rig.requestLines().back(), "GET /products/Telvarn/download.minisig HTTP/1.0");
    EXPECT_EQ(rig.client.URL, UpdateRig::kVersionUrl);
    if (row.installs) {
        EXPECT_EQ(rig.beeper.beeps, 1);
        EXPECT_EQ(rig.folder.read("Telvarn"), "old program");
        EXPECT_EQ(rig.system.started.size(), row.firmware ? 0u : 1u);
        EXPECT_EQ(rig.folder.exists("Telvarn-1_APPL.cbin"), row.firmware);
        return;
    }
    EXPECT_EQ(rig.log.lines(), std::vector<std::string>{rig.channel->signatureFailure});
    rig.expectRefused(rig.channel->signatureFailure);
}

INSTANTIATE_TEST_SUITE_P(Rows, Signature, ::testing::ValuesIn(kSignatureRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A developer build installs unsigned releases, and says so once.
TEST(UnsignedBuild, SaysOnceThatItDoesNotCheckSignaturesAndAsksForNone) {
    UpdateRig rig(programChannel());
    rig.trust = ReleaseTrust{};
    rig.folder.write("Telvarn", "old program");
    rig.offer(kDownload);
    rig.log.clear();
    rig.serve({serving("", "503 Service Unavailable"), serving(kDownload)});
    rig.check->DownloadClick();
    rig.check->DownloadClick();

    const auto& c = *rig.channel;
    EXPECT_EQ(rig.log.lines(), (std::vector<std::string>{"Подпись обновлений не проверяется",
                                                         c.downloadFailure,
                                                         "Загрузка обновления завершена"}));
    EXPECT_EQ(rig.system.started.size(), 1u);
    for (const std::string& line : rig.requestLines()) EXPECT_EQ(line.find("minisig"), line.npos);
}

}  // namespace
