#include "update/signature_crypto.h"

#include <gcrypt.h>

#include <cstring>

#include "base/file_blocks.h"

namespace {

// libgcrypt must be told once that it is set up before it is used; the
// program keeps no secrets, so the secure memory pool is left off.
void initialiseOnce() {
    static const bool ready = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)ready;
}

// An S-expression that frees itself.
class Sexp {
  public:
    Sexp() = default;
    ~Sexp() { gcry_sexp_release(sexp_); }
    Sexp(const Sexp&) = delete;
    Sexp& operator=(const Sexp&) = delete;
    gcry_sexp_t* out() { return &sexp_; }
    gcry_sexp_t get() const { return sexp_; }

  private:
    gcry_sexp_t sexp_ = nullptr;
};

int size(std::size_t bytes) {
    return static_cast<int>(bytes);
}

}  // namespace

std::optional<Blake2b512> fileBlake2b512(const std::string& path) {
    initialiseOnce();
    gcry_md_hd_t md = nullptr;
    if (gcry_md_open(&md, GCRY_MD_BLAKE2B_512, 0) != 0) return std::nullopt;
    const bool read = readFileBlocks(path, [md](std::span<const std::uint8_t> block) {
        gcry_md_write(md, block.data(), block.size());
    });
    std::optional<Blake2b512> hash;
    if (read) {
        hash.emplace();
        std::memcpy(hash->data(), gcry_md_read(md, GCRY_MD_BLAKE2B_512), hash->size());
    }
    gcry_md_close(md);
    return hash;
}

bool ed25519Verifies(const Ed25519Key& key, std::span<const std::uint8_t> message,
                     const Ed25519Signature& signature) {
    initialiseOnce();
    Sexp publicKey, data, value;
    if (gcry_sexp_build(publicKey.out(), nullptr,
                        "(public-key (ecc (curve Ed25519) (flags eddsa) (q %b)))", size(key.size()),
                        key.data()) != 0 ||
        gcry_sexp_build(data.out(), nullptr, "(data (flags eddsa) (hash-algo sha512) (value %b))",
                        size(message.size()), message.data()) != 0 ||
        gcry_sexp_build(value.out(), nullptr, "(sig-val (eddsa (r %b) (s %b)))", 32,
                        signature.data(), 32, signature.data() + 32) != 0) {
        return false;
    }
    return gcry_pk_verify(value.get(), data.get(), publicKey.get()) == 0;
}
