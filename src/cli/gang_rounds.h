#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

// The Enters of a repeated gang: each starts one chip on every programmer
// still in the run, and the operator is asked for the next only once all of
// them wait for it.
class GangRounds {
  public:
    explicit GangRounds(std::size_t members) : active_(members) {}

    // A programmer's wait for its next chip: true when the operator pressed
    // Enter, false once the input ended.
    bool next();
    // A programmer that is done, however it ended, waits no more.
    void leave();

    // The operator's side: waits until every programmer still in the run
    // waits for a chip; false when none is left.
    bool awaitReady();
    void start();
    void end();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t active_;
    std::size_t waiting_ = 0;
    std::uint64_t round_ = 0;
    bool ended_ = false;
};
