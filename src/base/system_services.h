#pragma once

#include <optional>
#include <string>
#include <vector>

// Sound, dialogs and process services of the desktop, as the core needs them.
class Beeper {
  public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual void showError(const std::string& text) = 0;
    // The button Enter presses in a question.
    enum class Default { Yes, No };
    // Yes/No question without owner or icon, in front of and above the window;
    // true for Yes.
    virtual bool confirm(const std::string& text, const std::string& title,
                         Default defaultButton) = 0;
    // Modal information with OK, in front of the window; returns once the
    // operator has closed it.
    virtual void inform(const std::string& text) = 0;
    // Filters as "name|pattern|name|pattern"; nothing when cancelled.
    virtual std::optional<std::string> openFile(const std::string& initialFolder,
                                                const std::string& filters) = 0;
};

class SystemServices {
  public:
    virtual ~SystemServices() = default;
    virtual std::string executablePath() = 0;
    virtual void openUrl(const std::string& url) = 0;
    // Starts a program; hidden asks for its window not to be shown.
    virtual void startProcess(const std::string& path, const std::vector<std::string>& args,
                              bool hidden) = 0;
    virtual void requestQuit() = 0;
};
