#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

// A virtual X display (Xvfb) for the length of a test, with or without a
// window manager (openbox) running on it. The start helper returns nullptr
// when a program it needs is not installed, so that the test can skip.
class XDisplay {
  public:
    enum class Manager { None, Openbox };

    static std::unique_ptr<XDisplay> start(Manager manager);
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // ":N", the value for DISPLAY.
    const std::string& name() const { return name_; }

  private:
    XDisplay() = default;
    void startServer(const std::string& program);
    void startManager(const std::string& program);

    std::string name_;
    pid_t server_ = -1;
    pid_t manager_ = -1;
};
