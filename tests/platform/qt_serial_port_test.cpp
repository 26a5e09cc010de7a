#include "platform/qt_serial_port.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "link/programmer_link.h"
#include "pseudo_terminal.h"
#include "qt_test_app.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"
#include "support/test_bytes.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

struct Step {
    milliseconds delay;
    Bytes bytes;
};

// Plays the device from another thread: each step waits its delay, then sends its bytes.
std::jthread sendLater(PseudoTerminal& pty, std::vector<Step> steps) {
    return std::jthread([&pty, steps = std::move(steps)] {
        for (const Step& step : steps) {
            std::this_thread::sleep_for(step.delay);
            pty.send(step.bytes);
        }
    });
}

// The bytes the driver holds for the port to read, not yet in the port's own
// buffer: the slave's input queue, seen through a descriptor of this process
// open on it (the port's, or the one PseudoTerminal holds); -1 if none is.
int queuedAtTheSlave(const PseudoTerminal& pty) {
    struct stat slave {};
    if (::stat(pty.slavePath().c_str(), &slave) != 0) return -1;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        struct stat open {};
        int queued = 0;
        if (::fstat(fd, &open) == 0 && S_ISCHR(open.st_mode) && open.st_rdev == slave.st_rdev &&
            ::ioctl(fd, FIONREAD, &queued) == 0) {
            return queued;
        }
    }
    return -1;
}

// Polls the condition until it holds; the bound only keeps a fault from hanging the suite.
bool eventually(const std::function<bool()>& condition) {
    for (const auto bound = Clock::now() + 10s; !condition();) {
        if (Clock::now() > bound) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class QtSerialPortTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ensureQtApp(); }
    void SetUp() override { port.open(pty.slavePath()); }

    PseudoTerminal pty;
    QtSerialPort port;
};

TEST_F(QtSerialPortTest, ReadEndsAtAGapLongerThanTheInterval) {
    port.setReadTimeouts({50, 1000, 1000});
    auto device = sendLater(pty, {{0ms, bytesOf("AB")}, {400ms, bytesOf("CD")}});
    const auto start = Clock::now();
    EXPECT_EQ(port.read(4), bytesOf("AB"));
    EXPECT_LT(msSince(start), 1000) << "the interval, not the total time-out, ended the read";
    device.join();
    // The bytes after the gap are still there for the next read.
    EXPECT_EQ(port.read(2), bytesOf("CD"));
}

TEST_F(QtSerialPortTest, ReadCollectsBytesCloserThanTheIntervalAndEndsWhenAllCame) {
    port.setReadTimeouts({300, 1000, 1000});
    auto device = sendLater(
        pty,
        {{0ms, bytesOf("A")}, {20ms, bytesOf("B")}, {20ms, bytesOf("C")}, {0ms, bytesOf("D")}});
    const auto start = Clock::now();
    EXPECT_EQ(port.read(3), bytesOf("ABC"));
    EXPECT_LT(msSince(start), 2000) << "a full reply must not wait for the total time-out";
    device.join();
    EXPECT_EQ(port.read(1), bytesOf("D"));
}

TEST_F(QtSerialPortTest, SilentPortReadEndsAfterTheTotalTimeout) {
    port.setReadTimeouts({20, 20, 20});
    const auto start = Clock::now();
    EXPECT_TRUE(port.read(3).empty());
    const auto took = msSince(start);
    EXPECT_GE(took, 78) << "20 ms * 3 + 20 ms";
    EXPECT_LT(took, 1000);
}

TEST_F(QtSerialPortTest, TotalTimeoutEndsATrickleOfBytes) {
    // Every gap is within the interval, but the whole read may last only 10 * 10 + 100 ms.
    port.setReadTimeouts({300, 10, 100});
    pty.send(bytesOf("0"));
    std::vector<Step> trickle;
    for (char c = '1'; c <= '9'; ++c) trickle.push_back({60ms, Bytes{std::uint8_t(c)}});
    auto device = sendLater(pty, trickle);
    const auto start = Clock::now();
    const Bytes got = port.read(10);
    const auto took = msSince(start);
    EXPECT_GE(got.size(), 1u);
    EXPECT_LT(got.size(), 10u);
    EXPECT_GE(took, 195);
    EXPECT_LT(took, 500);
}

TEST_F(QtSerialPortTest, WaitEndsAsSoonAsBytesAreReadable) {
    auto device = sendLater(pty, {{30ms, bytesOf("OK")}});
    auto start = Clock::now();
    port.wait(5000);
    EXPECT_LT(msSince(start), 2500);
    // The bytes now sit in the port's own buffer; the wait must see them there too.
    start = Clock::now();
    port.wait(5000);
    EXPECT_LT(msSince(start), 1000);
    port.setReadTimeouts({20, 20, 20});
    EXPECT_EQ(port.read(2), bytesOf("OK"));
}

TEST_F(QtSerialPortTest, WaitOnASilentPortLastsItsBound) {
    const auto start = Clock::now();
    port.wait(100);
    const auto took = msSince(start);
    EXPECT_GE(took, 95);
    EXPECT_LT(took, 2000);
}

TEST_F(QtSerialPortTest, WriteSendsEveryByteValueUnchanged) {
    // All 256 values, so that no line discipline (CR/LF, XON/XOFF, echo) touches the bytes,
    // then the rest of a frame as long as the longest one the link sends.
    Bytes frame(1037);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 7);
    for (int v = 0; v < 256; ++v) frame[v] = static_cast<std::uint8_t>(v);
    auto received = std::async(std::launch::async, [&] { return pty.receive(frame.size(), 5s); });
    EXPECT_EQ(port.write(frame), frame.size());
    EXPECT_EQ(received.get(), frame);
}

TEST_F(QtSerialPortTest, PurgeDiscardsWhatArrivedBeforeIt) {
    pty.send(bytesOf("abc"));
    port.wait(2000);  // pulls "abc" into the port's own buffer
    const int before = queuedAtTheSlave(pty);
    ASSERT_GE(before, 0) << "no descriptor of the slave to look into";
    pty.send(bytesOf("def"));
    // The pseudo-terminal hands bytes on to the slave's queue in a worker of its own.
    ASSERT_TRUE(eventually([&] { return queuedAtTheSlave(pty) >= before + 3; }))
        << "\"def\" never reached the driver";
    port.purge();
    port.setReadTimeouts({20, 20, 20});
    EXPECT_TRUE(port.read(6).empty());

    pty.send(bytesOf("OK"));
    port.setReadTimeouts({200, 200, 200});
    EXPECT_EQ(port.read(2), bytesOf("OK"));
}

TEST_F(QtSerialPortTest, OpeningAMissingPortRaisesAndLeavesItClosed) {
    QtSerialPort missing;
    try {
        missing.open("/dev/telvarn-no-such-port");
        FAIL() << "open should have failed";
    } catch (const PortError& error) {
        EXPECT_NE(error.code(), 0);
        EXPECT_EQ(std::string(error.what()),
                  "Unable to open com port (Error: " + std::to_string(error.code()) + ")");
    }
    EXPECT_FALSE(missing.isOpen());
}

TEST_F(QtSerialPortTest, PortIsTakenExclusively) {
    QtSerialPort second;
    try {
        second.open(pty.slavePath());
        FAIL() << "open should have failed";
    } catch (const PortError& error) {
        EXPECT_NE(error.code(), EACCES) << "a port in use is no matter of permissions";
    }
    EXPECT_FALSE(second.isOpen());
    EXPECT_TRUE(port.isOpen());
}

TEST(QtSerialPortRefused, APortTheSystemRefusesToTheUserRaisesEacces) {
    ensureQtApp();
    PseudoTerminal pty;
    // Root may open anything: the refusal needs another effective user, given back after.
    const bool root = geteuid() == 0;
    if (root && seteuid(65534) != 0) GTEST_SKIP() << "cannot act as another user";
    if (!root) {
        ASSERT_EQ(chmod(pty.slavePath().c_str(), 0), 0);
    }
    QtSerialPort port;
    int code = 0;
    try {
        port.open(pty.slavePath());
    } catch (const PortError& error) {
        code = error.code();
    }
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    EXPECT_EQ(code, EACCES);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(QtSerialPortTest, OpenTwiceAndCloseTwiceAreHarmless) {
    port.open(pty.slavePath());
    EXPECT_TRUE(port.isOpen());
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_NO_THROW(port.close());

    // Released for good: it opens again and carries bytes.
    port.open(pty.slavePath());
    ASSERT_TRUE(port.isOpen());
    auto received = std::async(std::launch::async, [&] { return pty.receive(2, 2s); });
    port.write(bytesOf("OK"));
    EXPECT_EQ(received.get(), bytesOf("OK"));
}

// The operation's text of the PortError it raises, or "no error".
template <class Operation>
std::string failureText(Operation&& operation) {
    try {
        operation();
    } catch (const PortError& error) {
        const std::string what = error.what();
        return what.substr(0, what.find(" (Error: "));
    }
    return "no error";
}

TEST_F(QtSerialPortTest, EveryOperationOnAClosedPortRaisesItsOwnError) {
    port.close();
    EXPECT_EQ(failureText([&] { port.purge(); }), "PurgeComm function failed");
    EXPECT_EQ(failureText([&] { port.write(bytesOf("x")); }), "WriteFile function failed");
    EXPECT_EQ(failureText([&] { port.wait(10); }), "WaitForEvent method failed");
    EXPECT_EQ(failureText([&] { port.read(1); }), "ReadFile function failed");
    EXPECT_EQ(failureText([&] { port.setDtr(true); }), "EscapeCommFunction function failed");
}

// Whichever operation first meets an unplugged device raises its own error instead of looking
// silent, and releases the port.
TEST(QtSerialPortUnplugged, TheFirstOperationOnADeadLineRaisesAndClosesThePort) {
    ensureQtApp();
    const std::vector<std::pair<std::string, std::function<void(QtSerialPort&)>>> operations = {
        {"PurgeComm function failed", [](QtSerialPort& port) { port.purge(); }},
        {"WriteFile function failed", [](QtSerialPort& port) { port.write(bytesOf("info")); }},
        {"WaitForEvent method failed", [](QtSerialPort& port) { port.wait(1000); }},
        {"ReadFile function failed", [](QtSerialPort& port) { port.read(2); }},
    };
    // Named, not bound: clang before 16 cannot capture a structured binding in a lambda.
    for (const auto& entry : operations) {
        const std::string& text = entry.first;
        const auto& operation = entry.second;
        SCOPED_TRACE(text);
        PseudoTerminal pty;
        QtSerialPort port;
        port.open(pty.slavePath());
        pty.hangUp();
        EXPECT_EQ(failureText([&] { operation(port); }), text);
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(failureText([&] { port.close(); }), "no error");
    }
}

TEST_F(QtSerialPortTest, AnUnplugNoticedBetweenOperationsFailsTheNextOne) {
    pty.send(bytesOf("OK"));
    port.wait(2000);  // pulls "OK" into the port's own buffer
    pty.hangUp();
    // The event loop runs between two commands and meets the dead line first.
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(failureText([&] { port.read(2); }), "ReadFile function failed");
    EXPECT_FALSE(port.isOpen());
}

TEST_F(QtSerialPortTest, TheLinkMeetsAnUnplugOnceAndThenFailsWithoutTouchingThePort) {
    FakePortEnumerator names;
    ManualPump pump;
    FakeBeeper beeper;
    ProgrammerLink link(port, names, pump, beeper);
    pty.hangUp();
    EXPECT_EQ(failureText([&] { link.test(); }), "PurgeComm function failed");
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(failureText([&] { EXPECT_FALSE(link.test()); }), "no error");
}

TEST_F(QtSerialPortTest, PortWithoutModemLinesOpensButRefusesDtr) {
    // A pseudo-terminal has no DTR: dropping it at open is skipped, driving it is an error.
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(failureText([&] { port.setDtr(true); }), "EscapeCommFunction function failed");
}

}  // namespace
