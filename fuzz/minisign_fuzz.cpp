// Any bytes as a release's signature file or key, as a hostile server or a
// damaged download may bring them: the readers never fail on them, a comment
// read is the third line's text after its prefix, and a file reads the same
// with CR LF line ends as with LF.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "update/minisign.h"

namespace {

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

bool sameSignature(const std::optional<MinisignSignature>& a,
                   const std::optional<MinisignSignature>& b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || (a->keyId == b->keyId && a->signature == b->signature &&
                  a->trustedComment == b->trustedComment &&
                  a->globalSignature == b->globalSignature);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto signature = parseMinisignSignature(text);
    if (signature) {
        const std::string line = "\ntrusted comment: " + signature->trustedComment;
        require(text.find(line) != std::string::npos,
                "the trusted comment is a line's text after its prefix");
        require(signature->trustedComment.find('\n') == std::string::npos,
                "the trusted comment is one line");
    }
    if (text.find('\r') == std::string::npos) {
        require(sameSignature(signature, parseMinisignSignature(withCrLf(text))),
                "CR LF line ends read as LF ones");
    }
    const auto key = parseMinisignKey(text);
    require(!key || text.find("RW") != std::string::npos, "a key line begins with the key's name");
    return 0;
}
