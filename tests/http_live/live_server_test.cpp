// The client, the Qt socket and the Qt loop against real servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "live_rig.h"
#include "support/loopback_server.h"

namespace {

const std::string kVersion = "14\r\nhttp://127.0.0.1/products/Telvarn/Telvarn\r\n2841\r\n";

using Starter =
    std::function<std::unique_ptr<LoopbackServer>(const TempFolder&, const std::filesystem::path&)>;

struct ServerKind {
    const char* name;
    Starter start;
};

const ServerKind kServers[] = {
    {"nginx",
     [](const TempFolder& folder, const std::filesystem::path& www) {
         return startNginx(www, folder.path() / "nginx");
     }},
    {"python http.server",
     [](const TempFolder&, const std::filesystem::path& www) {
         return startPythonFileServer(www);
     }},
};

class LiveServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(www / "other");
        rig.folder.write("www/version", kVersion);
        rig.folder.write("www/other/path", "the target of the relocation\r\n");
    }
    std::string wwwFile(const std::string& name) const { return "www/" + name; }

    LiveRig rig;
    const std::filesystem::path www = rig.folder.path() / "www";
};

TEST_F(LiveServerTest, FilesArriveByteExactFromEachServer) {
    rig.folder.write("www/big.bin", randomBytes(10 * 1000 * 1000, 7));
    for (const ServerKind& kind : kServers) {
        SCOPED_TRACE(kind.name);
        const auto server = kind.start(rig.folder, www);
        if (!server) GTEST_SKIP() << kind.name << " is not installed";
        for (const std::string name : {"version", "big.bin"}) {
            rig.events.clear();
            const auto error = rig.get(server->url("/" + name));
            EXPECT_FALSE(error) << name << ": " << error->what();
            EXPECT_EQ(rig.client.StatusCode(), 200);
            EXPECT_EQ(rig.client.DocName(), name);
            EXPECT_EQ(rig.events, (std::vector<std::string>{"begin", "end"}));
            EXPECT_TRUE(rig.stored() == rig.folder.read(wwwFile(name)))
                << name << ": " << rig.stored().size() << " bytes stored";
        }
    }
}

TEST_F(LiveServerTest, ARelocationLeavesTheTargetInTheFile) {
    const auto server = startNginx(www, rig.folder.path() / "nginx");
    if (!server) GTEST_SKIP() << "nginx is not installed";
    // nginx names the target as a whole address, or as a bare path.
    for (const std::string moved : {"/moved", "/moved-relative"}) {
        SCOPED_TRACE(moved);
        rig.events.clear();
        const auto error = rig.get(server->url(moved));
        EXPECT_FALSE(error) << error->what();
        // The 302 carries a small HTML page: a document of its own.
        EXPECT_EQ(rig.events, (std::vector<std::string>{"begin", "end", "begin", "end"}));
        EXPECT_EQ(rig.stored(), "the target of the relocation\r\n");
        EXPECT_TRUE(rig.client.Location().ends_with(kNginxMovedTarget)) << rig.client.Location();
        EXPECT_EQ(rig.client.DocName(), "path");
    }
}

TEST_F(LiveServerTest, AMissingFileRaisesTheServersPhraseAfterItsPage) {
    const auto server = startNginx(www, rig.folder.path() / "nginx");
    if (!server) GTEST_SKIP() << "nginx is not installed";
    const auto error = rig.get(server->url("/missing"));
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Not Found");
    EXPECT_EQ(error->code(), 404);
    EXPECT_EQ(rig.events, (std::vector<std::string>{"begin", "end", "raised"}));
    EXPECT_NE(rig.stored().find("404 Not Found"), std::string::npos) << rig.stored();
}

class ScriptedServerTest : public LiveServerTest {
  protected:
    void SetUp() override {
        LiveServerTest::SetUp();
        rig.folder.write("www/body.bin", randomBytes(300 * 1000, 3));
        server = startPythonScript(HTTP_LIVE_SCRIPTS "/scripted_http_server.py", www.string(),
                                   rig.folder.path() / "script.log");
        if (!server) GTEST_SKIP() << "python3 is not installed";
    }

    std::unique_ptr<LoopbackServer> server;
};

TEST_F(ScriptedServerTest, AChunkedBodyArrivesDecoded) {
    const auto error = rig.get(server->url("/chunked/body.bin"));
    EXPECT_FALSE(error) << error->what();
    EXPECT_EQ(rig.client.TransferEncoding(), "chunked");
    EXPECT_EQ(rig.events, (std::vector<std::string>{"begin", "end"}));
    EXPECT_TRUE(rig.stored() == rig.folder.read("www/body.bin"))
        << rig.stored().size() << " bytes stored";
}

TEST_F(ScriptedServerTest, ARelocationOnAConnectionKeptOpenIsFollowedOverIt) {
    // The target answers only on the connection that carried the 302.
    const auto error = rig.get(server->url("/keep-alive-moved/body.bin"));
    EXPECT_FALSE(error) << error->what();
    EXPECT_EQ(rig.client.StatusCode(), 200);
    EXPECT_EQ(rig.events, (std::vector<std::string>{"begin", "end"}));
    EXPECT_TRUE(rig.stored() == rig.folder.read("www/body.bin"))
        << rig.stored().size() << " bytes stored";
}

TEST_F(ScriptedServerTest, AGetWaitingOnASilentServerGivesUpWhenTheApplicationEnds) {
    const auto quit = rig.pump.createTimer([&] { rig.pump.requestTermination(); });
    quit->setInterval(300);
    quit->setEnabled(true);
    const auto error = rig.get(server->url("/stall"));
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "Connection aborted on request");
    EXPECT_EQ(error->code(), 404);
}

}  // namespace
