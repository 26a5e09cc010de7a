#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The files of the signing tool that releases are cut with: a public key
// (base64 of "Ed", its 8-byte id and the Ed25519 key) and a signature file of
// four lines:
//   untrusted comment: <anything>
//   base64 of "ED", the key id and the Ed25519 signature of the file's BLAKE2b-512
//   trusted comment: <text>
//   base64 of the Ed25519 signature of (the file's signature, then <text>)
using MinisignKeyId = std::array<std::uint8_t, 8>;
using Ed25519Key = std::array<std::uint8_t, 32>;
using Ed25519Signature = std::array<std::uint8_t, 64>;

struct MinisignKey {
    MinisignKeyId id{};
    Ed25519Key key{};
};

struct MinisignSignature {
    MinisignKeyId keyId{};
    Ed25519Signature signature{};  // of the file's hash
    std::string trustedComment;
    Ed25519Signature globalSignature{};  // of signature and trustedComment
};

// The key from its base64 line, or from a whole public key file (the first
// line that is not a comment). Nothing when it is not such a key.
std::optional<MinisignKey> parseMinisignKey(std::string_view text);

// Nothing when the text is not a signature file of the hashed form; the older
// form, which signs the file's bytes themselves, is refused. Lines may end in
// LF or CR LF.
std::optional<MinisignSignature> parseMinisignSignature(std::string_view text);
