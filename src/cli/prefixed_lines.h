#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

// A stream several threads write whole lines to: each line goes out in one
// piece under a lock, so that lines of different writers never mix.
class SharedLines {
  public:
    explicit SharedLines(std::ostream& out) : out_(out) {}
    void write(const std::string& line);

  private:
    std::mutex mutex_;
    std::ostream& out_;
};

// One writer's stream onto SharedLines: every line it completes goes out with
// the prefix before it. While held, lines wait, to go out on release or be
// dropped on discard.
class PrefixedLines : public std::ostream {
  public:
    PrefixedLines(SharedLines& target, std::string prefix);
    ~PrefixedLines() override;

    void hold();
    void release();
    void discard();

  private:
    class Buffer : public std::streambuf {
      public:
        Buffer(SharedLines& target, std::string prefix)
            : target_(target), prefix_(std::move(prefix)) {}
        void hold() { holding_ = true; }
        void release();
        void discard();
        void finish();

      protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize n) override;

      private:
        void put(char c);
        void emit(std::string line);

        SharedLines& target_;
        std::string prefix_;
        std::string line_;
        bool holding_ = false;
        std::vector<std::string> held_;
    };
    Buffer buffer_;
};
