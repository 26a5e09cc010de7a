// Winsock's header must come before <windows.h>.
#include "wine_helper.h"
// clang-format off
#include <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "base/errors.h"
#include "base/text.h"
#include "platform_win32/win32_port_list.h"
#include "platform_win32/win32_serial_port.h"
#include "support/test_bytes.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A Linux pseudo-terminal as a COM port of the test's own Wine prefix: the
// helper opens it (a Windows program cannot), links its slave as
// dosdevices/com<40+n> and plays the device on its master.
struct SerialPty {
    // The device sends bytes, at once or that long from now.
    void send(const Bytes& bytes, milliseconds after = 0ms) {
        std::string hex;
        for (const std::uint8_t byte : bytes) hex += hexByte(byte);
        helper.ask("send " + std::to_string(after.count()) + " " + hex);
    }
    // What the port sent, until n bytes came or the line was quiet for 5 s.
    Bytes receive(std::size_t n) {
        const std::string hex = helper.ask("read " + std::to_string(n));
        Bytes bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>(digitValue(hex[i], 16) * 16 +
                                                      digitValue(hex[i + 1], 16)));
        return bytes;
    }

    WineHelper helper{{"pty"}};
    const std::string portName = helper.readLine();
};

// The text of the PortError the operation raises, or "no error".
std::string failureText(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const PortError& error) {
        return error.what();
    }
    return "no error";
}

class Win32SerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override { port.open(pty.portName); }

    SerialPty pty;
    Win32SerialPort port;
};

TEST_F(Win32SerialPortTest, OpensTheLineAt115200EightNoneOneRawAndAPtyRefusesDtr) {
    EXPECT_EQ(pty.helper.ask("settings"),
              "speed=115200 ispeed=115200 bits=8 parity=N stop=1 crtscts=0 cooked=0");
    // A line without modem lines; the request failing is no unplug.
    const std::string refused = failureText([&] { port.setDtr(true); });
    EXPECT_TRUE(refused.starts_with("EscapeCommFunction function failed (Error: ")) << refused;
    EXPECT_TRUE(port.isOpen());
}

// Each read ends for its own reason, which shows in what it leaves on the line: a read that
// waited longer than it may would also have taken the device's later bytes.
TEST_F(Win32SerialPortTest, ReadEndsAtTheFirstOfItsTimeOuts) {
    const struct {
        const char* why;
        ReadTimeouts timeouts;
        std::vector<std::pair<milliseconds, const char*>> device;  // what it sends when
        std::size_t n;
        const char* first;
        const char* later;
        bool endsAtTotal;
    } cases[] = {
        // clang-format off
        {"a gap longer than the interval", {50, 1000, 1000}, {{0ms, "AB"}, {1500ms, "CD"}}, 4,
         "AB", "CD", false},
        {"all bytes came", {300, 1000, 10000}, {{0ms, "A"}, {20ms, "BC"}, {1520ms, "D"}}, 3, "ABC",
         "D", false},
        {"the total time-out, on a trickle within the interval", {1000, 10, 500},
         {{0ms, "0"}, {400ms, "1"}, {800ms, "2"}, {1200ms, "3"}}, 4, "01", "23", true},
        {"the total time-out, on a silent line", {20, 20, 20}, {}, 3, "", "", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        port.setReadTimeouts(c.timeouts);
        for (const auto& [after, text] : c.device) pty.send(bytesOf(text), after);
        const auto start = Clock::now();
        EXPECT_EQ(port.read(c.n), bytesOf(c.first));
        // Never before its time: the system's tick may round the total down a little.
        const auto total = c.timeouts.multiplier * c.n + c.timeouts.constant;
        if (c.endsAtTotal) {
            EXPECT_GE(Clock::now() - start, milliseconds(total - 16));
        }
        port.setReadTimeouts({20, 20, 20});
        EXPECT_TRUE(port.read(c.n).empty()) << "the read waited past the device's pause";
        pty.helper.ask("sent");
        EXPECT_EQ(port.read(c.n), bytesOf(c.later));
    }
}

TEST_F(Win32SerialPortTest, WaitLastsItsBoundOrEndsAsSoonAsBytesAreReadable) {
    const auto start = Clock::now();
    port.wait(100);
    EXPECT_GE(Clock::now() - start, 100ms);
    pty.send(bytesOf("OK"), 30ms);
    pty.send(bytesOf("!!"), 3000ms);
    port.wait(20000);
    port.wait(20000);  // the bytes are queued already: this one ends at once
    port.setReadTimeouts({20, 20, 20});
    EXPECT_EQ(port.read(4), bytesOf("OK")) << "a wait lasted until the device's second reply";
}

TEST_F(Win32SerialPortTest, EveryByteValueGoesBothWaysUnchangedAndPurgeDropsWhatCameBefore) {
    // All 256 values, so that no line discipline (CR/LF, XON/XOFF, echo) touches the bytes,
    // then the rest of a frame as long as the longest one the link sends.
    Bytes frame(1037);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 7);
    for (int v = 0; v < 256; ++v) frame[v] = static_cast<std::uint8_t>(v);
    port.close();
    port.open(pty.portName);  // a closed port opens again
    EXPECT_EQ(port.write(frame), frame.size());
    EXPECT_EQ(pty.receive(frame.size()), frame);
    pty.send(frame);
    port.setReadTimeouts({200, 200, 5000});
    EXPECT_EQ(port.read(frame.size()), frame);

    pty.send(bytesOf("abc"));
    port.wait(2000);
    port.purge();
    port.setReadTimeouts({20, 20, 20});
    EXPECT_TRUE(port.read(6).empty());
    pty.send(bytesOf("OK"));
    port.setReadTimeouts({200, 200, 200});
    EXPECT_EQ(port.read(2), bytesOf("OK"));
}

TEST_F(Win32SerialPortTest, FailedOpensRaiseTheSystemsErrorAndLeaveThePortClosed) {
    // Discovery names a denied port to the operator.
    const std::pair<std::string, int> cases[] = {{"COM3999", ERROR_FILE_NOT_FOUND},
                                                 {pty.helper.ask("denied"), ERROR_ACCESS_DENIED}};
    for (const auto& [name, code] : cases) {
        Win32SerialPort other;
        EXPECT_EQ(failureText([&] { other.open(name); }),
                  "Unable to open com port (Error: " + std::to_string(code) + ")");
        EXPECT_FALSE(other.isOpen());
    }
}

// Whichever operation first meets an unplugged device raises its own error instead of looking
// silent, and releases the port; on the closed port it raises the same again.
TEST(Win32SerialPortUnplugged, TheFirstOperationOnADeadLineRaisesAndClosesThePort) {
    const std::pair<std::string, std::function<void(Win32SerialPort&)>> operations[] = {
        {"PurgeComm function failed", [](Win32SerialPort& port) { port.purge(); }},
        {"WriteFile function failed", [](Win32SerialPort& port) { port.write(bytesOf("info")); }},
        {"WaitForEvent method failed", [](Win32SerialPort& port) { port.wait(1000); }},
        {"ReadFile function failed", [](Win32SerialPort& port) { port.read(2); }},
    };
    for (const auto& [text, operation] : operations) {
        SCOPED_TRACE(text);
        SerialPty pty;
        Win32SerialPort port;
        port.open(pty.portName);
        port.setReadTimeouts({20, 20, 20});
        pty.helper.ask("hangup");
        EXPECT_TRUE(failureText([&] { operation(port); }).starts_with(text + " (Error: "));
        EXPECT_FALSE(port.isOpen());
        EXPECT_TRUE(failureText([&] { operation(port); }).starts_with(text + " (Error: "));
        EXPECT_EQ(failureText([&] { port.close(); }), "no error");
    }
}

// The values go into the test prefix's own key, named after this process, and out again.
TEST(Win32PortEnumerator, ListsTheNamesOfTheRegisteredPortsOnly) {
    const std::wstring tag = std::to_wstring(GetCurrentProcessId());
    const struct {
        std::wstring port;
        DWORD type;
        bool terminated;  // stored with its terminating zero
        bool listed;
    } cases[] = {{L"COMA" + tag, REG_SZ, true, true},
                 {L"COMB" + tag, REG_SZ, false, true},
                 {L"COMC" + tag, REG_BINARY, true, false}};
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& c : cases) {
        const auto bytes = static_cast<DWORD>((c.port.size() + c.terminated) * 2);
        RegSetValueExW(key, (L"\\Device\\" + c.port).c_str(), 0, c.type,
                       reinterpret_cast<const BYTE*>(c.port.c_str()), bytes);
    }
    const std::vector<std::string> names = Win32PortEnumerator().listPorts();
    for (const auto& c : cases) RegDeleteValueW(key, (L"\\Device\\" + c.port).c_str());
    RegCloseKey(key);
    for (const auto& c : cases) {
        const std::string name(c.port.begin(), c.port.end());
        EXPECT_EQ(std::count(names.begin(), names.end(), name), c.listed ? 1 : 0) << name;
    }
    // A machine without a serial driver has no such key: no port, and no error.
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TelvarnEmptyMachine", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, key);  // for this process alone
    EXPECT_TRUE(Win32PortEnumerator().listPorts().empty());
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TelvarnEmptyMachine");
}

}  // namespace
