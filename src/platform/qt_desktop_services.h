#pragma once

#include "base/system_services.h"
#include "link/serial_port.h"

class QWidget;

// Sound, message boxes, the file dialog and process services of Qt.
class QtBeeper : public Beeper {
  public:
    void beep() override;
};

class QtDialogs : public Dialogs {
  public:
    void showError(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& title,
                 Default defaultButton) override;
    void inform(const std::string& text) override;
    std::optional<std::string> openFile(const std::string& initialFolder,
                                        const std::string& filters) override;
};

class QtSystemServices : public SystemServices {
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

class QtPortEnumerator : public PortEnumerator {
  public:
    std::vector<std::string> listPorts() override;
};

// "name|patterns|name|patterns" as a Qt file dialog filter; patterns are
// separated by ";", and "*.*" is every file on every system.
std::string qtFileFilter(const std::string& filters);
