#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "update/minisign.h"

// The two primitives a release signature rests on, from libgcrypt.
using Blake2b512 = std::array<std::uint8_t, 64>;

// The BLAKE2b-512 hash of a whole file (path in UTF-8); nothing when the file
// cannot be read to its end.
std::optional<Blake2b512> fileBlake2b512(const std::string& path);

// Whether signature is key's Ed25519 signature of message.
bool ed25519Verifies(const Ed25519Key& key, std::span<const std::uint8_t> message,
                     const Ed25519Signature& signature);
