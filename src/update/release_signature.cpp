#include "update/release_signature.h"

#include <vector>

#include "update/minisign.h"
#include "update/signature_crypto.h"

namespace {

// The trusted comment is signed with the file's signature in front of it, so
// that neither can be paired with another.
std::vector<std::uint8_t> globalMessage(const MinisignSignature& signature) {
    std::vector<std::uint8_t> message(signature.signature.begin(), signature.signature.end());
    message.insert(message.end(), signature.trustedComment.begin(), signature.trustedComment.end());
    return message;
}

}  // namespace

bool releaseSignatureVerifies(std::string_view keyLine, const std::string& path,
                              std::string_view signatureFile, std::string_view release) {
    if (signatureFile.size() > kSignatureFileLimit) return false;
    const auto key = parseMinisignKey(keyLine);
    const auto signature = parseMinisignSignature(signatureFile);
    if (!key || !signature || signature->keyId != key->id) return false;
    if (signature->trustedComment != release) return false;
    if (!ed25519Verifies(key->key, globalMessage(*signature), signature->globalSignature)) {
        return false;
    }
    const auto hash = fileBlake2b512(path);
    return hash && ed25519Verifies(key->key, *hash, signature->signature);
}
