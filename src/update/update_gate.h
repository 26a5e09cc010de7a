#pragma once

// Shared by both update checks: from the operator's Yes to a download until
// its hand-over (or, for the program, for good: the restart follows), no
// version check starts, so none can remove or replace what is being installed.
class UpdateGate {
  public:
    bool open() const { return holds_ == 0; }

    // Closes the gate for as long as it lives, or for good once kept.
    class Hold {
      public:
        explicit Hold(UpdateGate& gate) : gate_(gate) { ++gate_.holds_; }
        ~Hold() {
            if (!kept_) --gate_.holds_;
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        void keep() { kept_ = true; }

      private:
        UpdateGate& gate_;
        bool kept_ = false;
    };

  private:
    int holds_ = 0;
};
