#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "sim/sim_behaviour.h"
#include "sim/sim_frame_reader.h"
#include "sim/unplug_plan.h"

// What the device sends back for one frame: the bytes, and how long it works
// on the frame before the first of them leaves it.
struct SimTransmission {
    Bytes bytes;
    std::chrono::milliseconds work{0};
};

// The supply the programmer feeds to the chip.
enum class SimSupply { None, Vdd3, Vdd5, Vddu };

// The simulated Telvarn-1 programmer: a bootloader that erases and programs the
// application flash page by page, and the application with its 128 KiB RAM and
// its outputs (supply, VPR, multiplexer). It sees only the bytes the host sends
// and the DTR line; SimulatedPort puts it behind the serial port interface.
class SimulatedProgrammer {
  public:
    static constexpr std::size_t kRamSize = 0x20000;  // 128 KiB
    static constexpr std::size_t kPageSize = 256;
    static constexpr std::size_t kPageCount = 480;                     // the application area
    static constexpr std::size_t kFlashSize = kPageSize * kPageCount;  // 122880

    explicit SimulatedProgrammer(SimBehaviour behaviour = SimBehaviour::Normal);

    // --- the wire side, used by SimulatedPort ---------------------------------
    // Takes host bytes as they come off the line (a frame may span calls) and
    // returns what the device sends for the frames they complete, in order.
    // Frames it does not understand are swallowed without an answer.
    std::vector<SimTransmission> receive(std::span<const std::uint8_t> bytes);
    // Forgets a partly received frame, as after a purge of the line.
    void dropPartialInput();
    // Raising DTR holds the device in reset; dropping it again starts the bootloader.
    void setDtr(bool on);
    bool heldInReset() const { return heldInReset_; }

    // With Unplug the cable comes out during one frame (UnplugPlan says which):
    // that frame and everything after it go unanswered, DTR included, until
    // the cable is plugged back in. Only SimulatedPort knows when that is.
    bool unplugged() const { return unplugged_; }
    // Powers up afresh: the bootloader runs, RAM is cleared, the outputs are
    // off and the application flash is as the cable pull left it.
    void plugBackIn();

    // --- state, for tests and demonstrations -----------------------------------
    SimBehaviour behaviour() const { return behaviour_; }
    void setBehaviour(SimBehaviour behaviour) { behaviour_ = behaviour; }

    // Restarts into the bootloader, as a reset pulse does: outputs off, partial
    // input dropped. RAM and flash keep their contents.
    void reset();
    bool applicationRunning() const { return applicationRunning_; }

    // RAM, 128 KiB. With BadRam writes are lost and every cell reads 0x00.
    std::span<const std::uint8_t> ram() const { return ram_; }
    std::span<std::uint8_t> ram() { return ram_; }
    // The application flash, 480 pages of 256 bytes, 0xFF where erased. It
    // starts with a factory application in its first pages.
    std::span<const std::uint8_t> flash() const { return flash_; }
    std::span<std::uint8_t> flash() { return flash_; }

    // Outputs as `ioread` reports them. Reset: no supply, VPR off, MUX "000".
    SimSupply supply() const { return supply_; }
    bool vpr() const { return vpr_; }
    const std::string& mux() const { return mux_; }  // three '0'/'1' characters
    void setSupply(SimSupply supply) { supply_ = supply; }
    void setVpr(bool on) { vpr_ = on; }
    void setMux(const std::string& code) { mux_ = code; }
    // The 13-character status reply of `ioread`.
    std::string ioStatus() const;

    // Identity, as the `info` replies carry it. Any text is accepted, so that
    // odd devices can be played too.
    const std::string& serialNumber() const { return serialNumber_; }            // "00012345"
    const std::string& bootloaderVersion() const { return bootloaderVersion_; }  // "0102"
    const std::string& firmwareVersion() const { return firmwareVersion_; }      // "0015"
    void setSerialNumber(const std::string& text) { serialNumber_ = text; }
    void setBootloaderVersion(const std::string& text) { bootloaderVersion_ = text; }
    void setFirmwareVersion(const std::string& text) { firmwareVersion_ = text; }
    // The `info` reply of whichever program runs now.
    std::string infoText() const;

    // How long the device works on a command before it answers (only felt
    // when the port models wire time). By default `erase` 500 ms, `progmode`
    // 300 ms, everything else nothing.
    void setWorkTime(const std::string& word, std::chrono::milliseconds time);

    // --- counters ------------------------------------------------------------
    // Frames received per command word, answered or not.
    int framesReceived(const std::string& word) const;
    int framesRefused() const { return framesRefused_; }            // known word, no answer
    std::size_t bytesDiscarded() const { return bytesDiscarded_; }  // not part of any frame
    int resets() const { return resets_; }
    int pagesProgrammed() const { return pagesProgrammed_; }
    int bytesDropped() const { return bytesDropped_; }                 // lost by Flaky
    const std::string& lastProgmode() const { return lastProgmode_; }  // "" before any
    const std::string& lastIdlemode() const { return lastIdlemode_; }

  private:
    // The answer to one complete frame; nothing when the device stays silent.
    std::optional<Bytes> answer(const SimFrame& frame);
    bool cableComesOutDuring(const SimFrame& frame);
    std::optional<Bytes> bootloaderAnswer(const SimFrame& frame);
    std::optional<Bytes> applicationAnswer(const SimFrame& frame);
    std::optional<Bytes> programPage(const Bytes& frame);
    std::optional<Bytes> ramAnswer(const SimFrame& frame);
    std::optional<Bytes> outputAnswer(const SimFrame& frame);
    void dropByteNowAndThen(Bytes& reply);

    SimBehaviour behaviour_;
    SimFrameReader reader_;
    bool heldInReset_ = false;
    UnplugPlan unplugPlan_;
    bool unplugged_ = false;
    bool applicationRunning_ = false;
    std::vector<std::uint8_t> ram_;
    std::vector<std::uint8_t> flash_;
    SimSupply supply_ = SimSupply::None;
    bool vpr_ = false;
    std::string mux_ = "000";
    std::string serialNumber_ = "00012345";
    std::string bootloaderVersion_ = "0102";
    std::string firmwareVersion_ = "0015";
    std::map<std::string, std::chrono::milliseconds> workTimes_;
    std::map<std::string, int> framesReceived_;
    int framesRefused_ = 0;
    std::size_t bytesDiscarded_ = 0;
    int resets_ = 0;
    int pagesProgrammed_ = 0;
    int bytesDropped_ = 0;
    std::uint32_t flakyState_ = 0x2545F491u;
    std::string lastProgmode_;
    std::string lastIdlemode_;
};
