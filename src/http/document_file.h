#pragma once

#include <memory>
#include <string>

#include "http/file_stream.h"

// The file a request's documents are stored in: made anew at each document's
// begin and closed at its end, so that after a relocation it holds the last
// document of the chain, and a cut or unstored one is never taken for whole.
class DocumentFile {
  public:
    explicit DocumentFile(std::string path) : path_(std::move(path)) {}

    // Empties the file for the next document; throws when it cannot be made.
    // A document that grows past limit bytes throws at the write that would.
    ReceiveStream& begin(std::uint64_t limit = FileStream::kUnlimited);
    // Closes the document; throws when its last bytes could not be stored.
    // Nothing to do when no document is open.
    void end();

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::unique_ptr<FileStream> stream_;
};
