#pragma once

#include <string>
#include <string_view>

// The longest signature file taken from a server; a real one is some 300 bytes.
inline constexpr std::size_t kSignatureFileLimit = 4096;

// Whether signatureFile is the release key's signature of the file at path
// (UTF-8), for the release it names in its trusted comment ("Telvarn 15").
// keyLine is the release key's base64 line. A key, a signature or a comment
// that is not what it should be verifies nothing.
bool releaseSignatureVerifies(std::string_view keyLine, const std::string& path,
                              std::string_view signatureFile, std::string_view release);
