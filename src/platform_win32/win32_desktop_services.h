#pragma once

#include <string>
#include <vector>

#include "base/system_services.h"

// Sound, message boxes, the file dialog and process services of Windows.
class Win32Beeper : public Beeper {
  public:
    void beep() override;
};

class Win32Dialogs : public Dialogs {
  public:
    void showError(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& title,
                 Default defaultButton) override;
    void inform(const std::string& text) override;
    std::optional<std::string> openFile(const std::string& initialFolder,
                                        const std::string& filters) override;
};

class Win32SystemServices : public SystemServices {
  public:
    std::string executablePath() override;
    void openUrl(const std::string& url) override;
    void startProcess(const std::string& path, const std::vector<std::string>& args,
                      bool hidden) override;
    void requestQuit() override;
    bool quitRequested() const { return quitRequested_; }

  private:
    bool quitRequested_ = false;
};

// "name|patterns|name|patterns" as the file dialog's filter list: each name
// and its ";"-separated patterns NUL-terminated, the list ended by one more
// NUL; empty when there is no whole entry.
std::wstring win32FileFilter(const std::string& filters);

// The command line that starts path with args, as the C runtime and
// CommandLineToArgvW split it back.
std::wstring win32CommandLine(const std::string& path, const std::vector<std::string>& args);
