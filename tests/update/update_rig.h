#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/crc32.h"
#include "base/text.h"
#include "http/http_cli.h"
#include "support/fake_desktop.h"
#include "support/scripted_socket.h"
#include "support/recorded_report.h"
#include "support/temp_folder.h"
#include "update/version_check.h"

// A peer that answers one request with a whole document.
inline ScriptedPeer serving(const std::string& body, const std::string& status = "200 OK") {
    ScriptedPeer peer;
    peer.responses = {"HTTP/1.0 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                      "\r\n\r\n" + body};
    return peer;
}

// A server that cannot be reached.
inline ScriptedPeer unreachable() {
    ScriptedPeer peer;
    peer.lookup = ScriptedPeer::Lookup::Fail;
    return peer;
}

inline std::string checksumOf(const std::string& bytes) {
    Crc32 crc;
    crc.update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return hexLong(crc.value());
}

// One update check of either kind on a scripted server, its files in a
// temporary folder that stands for the program's folder.
struct UpdateRig {
    static constexpr const char* kVersionUrl = "http://updates.test/products/Telvarn/version";
    static constexpr const char* kDownloadUrl = "http://updates.test/products/Telvarn/download";

    TempFolder folder;
    ManualPump pump;
    FakeBeeper beeper;
    FakeDialogs dialogs;
    FakeSystemServices system;
    ScriptedSocket socket{pump, Split::whole()};
    THttpCli client{"HttpClientGetVersion", socket, pump};
    std::unique_ptr<Timer> timer = pump.createTimer([] {});
    RecordedReport log;
    std::int32_t installed = 14;
    int closeRequests = 0;
    // Unsigned, as a developer build, whose notice has its own test: as if an
    // earlier download had logged it.
    UpdateShared shared{ReleaseTrust{"", true}, {}};
    ReleaseTrust& trust = shared.trust;
    std::unique_ptr<VersionCheck> check;
    Connection restart;
    const UpdateChannel* channel = nullptr;

    explicit UpdateRig(const UpdateChannel& kind) : channel(&kind) {
        check = std::make_unique<VersionCheck>(
            kind, client, *timer,
            UpdatePlaces{kVersionUrl, kDownloadUrl, localFile(),
                         UpdateTargets{folder.file("Telvarn"), "Telvarn_V14",
                                       folder.file("Telvarn_V14"),
                                       folder.file("Telvarn-1_APPL.cbin")}},
            UpdateDesktop{dialogs, beeper, pump, system}, shared, log, [this] { return installed; });
        restart = check->restartRequested.connect([this] { ++closeRequests; });
    }

    bool firmware() const { return channel->kind == UpdateChannel::Kind::Firmware; }
    bool downloadable() const { return check->downloadable(); }
    // The offer as the question shows it and the download is checked against:
    // the checksum line, then the release notes; nothing before an accepted file.
    std::vector<std::string> offered() const {
        const auto& offer = check->offer();
        if (!offer) return {};
        std::vector<std::string> lines{offer->checksum};
        lines.insert(lines.end(), offer->notes.begin(), offer->notes.end());
        return lines;
    }
    std::string localName() const { return firmware() ? "version_cbin" : "version"; }
    std::string localFile() const { return folder.file(localName()); }

    // Each request of the check meets the next of these servers.
    void serve(std::vector<ScriptedPeer> peers) {
        for (auto& peer : peers) socket.peers.push_back(std::move(peer));
    }
    // The request lines sent so far, one per connection.
    std::vector<std::string> requestLines() const {
        std::vector<std::string> out;
        for (std::size_t c = 0; c < socket.connections.size(); ++c) {
            const std::string& sent = socket.connections[c].sent;
            out.push_back(sent.substr(0, sent.find("\r\n")));
        }
        return out;
    }

    // A version file of this check's kind that announces the download.
    std::string versionFile(std::int32_t version, const std::string& checksum,
                            const std::string& notes = "Исправления\r\n") const {
        return channel->productTag + "\r\n" + std::to_string(version) + "\r\n" + checksum + "\r\n" +
               notes;
    }
    // A download refused with line: deleted, nothing installed, started or
    // told; the firmware can be asked for again, the program's item stays off.
    // The test put "old program" in place before.
    void expectRefused(const std::string& line) {
        EXPECT_EQ(log.lines().back(), line);
        EXPECT_EQ(beeper.beeps, 1);
        EXPECT_FALSE(std::filesystem::is_regular_file(localFile()));
        EXPECT_EQ(folder.read("Telvarn"), "old program");
        EXPECT_FALSE(folder.exists("Telvarn_V14"));
        EXPECT_FALSE(folder.exists("Telvarn-1_APPL.cbin"));
        EXPECT_TRUE(system.started.empty());
        EXPECT_EQ(closeRequests, 0);
        EXPECT_TRUE(dialogs.informs.empty());
        EXPECT_EQ(downloadable(), firmware());
    }
    // Lets a check accept a version file that offers the download.
    void offer(const std::string& download, const std::string& notes = "Исправления\r\n") {
        serve({serving(versionFile(installed + 1, checksumOf(download), notes))});
        check->TimerTick();
        ASSERT_TRUE(downloadable());
    }
};
