#include "http/document_file.h"

ReceiveStream& DocumentFile::begin(std::uint64_t limit) {
    stream_.reset();
    stream_ = std::make_unique<FileStream>(path_, limit);
    return *stream_;
}

void DocumentFile::end() {
    if (!stream_) return;
    const std::unique_ptr<FileStream> closing = std::move(stream_);
    closing->close();
}
