#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http/file_stream.h"
#include "http/http_cli.h"
#include "platform/qt_http_socket.h"
#include "platform/qt_message_pump.h"
#include "support/temp_folder.h"

// The update checks' client over the real socket and Qt's loop. Each document
// goes to one file, created anew at its begin and closed at its end, as the
// checks store them.
class LiveRig {
  public:
    LiveRig();

    // Runs one Get; returns the error it raised, if any.
    std::optional<EHttpException> get(const std::string& url);
    // What the file holds after the last document.
    std::string stored() const { return folder.read("document"); }

    TempFolder folder;
    QtMessagePump pump;
    QtHttpSocket socket{pump};
    THttpCli client{"HttpClient", socket, pump};
    // "begin" and "end" of each document, and "raised" when Get raised.
    std::vector<std::string> events;

  private:
    std::unique_ptr<FileStream> file_;
};

// Bytes that no text or compression shortcut could get right by accident.
std::string randomBytes(std::size_t size, unsigned seed);
