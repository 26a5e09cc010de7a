#include "support/scripted_socket.h"

#include <algorithm>

std::string Split::name() const {
    switch (kind) {
        case Kind::Whole:
            return "Whole";
        case Kind::Bytewise:
            return "Bytewise";
        case Kind::Random:
            break;
    }
    return "Random" + std::to_string(seed);
}

std::vector<std::string> splitBytes(const std::string& bytes, Split split, std::mt19937& rng) {
    std::vector<std::string> pieces;
    if (bytes.empty()) return pieces;
    if (split.kind == Split::Kind::Whole) return {bytes};
    // Pieces up to a quarter of the whole, so that long responses also meet
    // the receive buffer's edge at varying places.
    const std::size_t most =
        split.kind == Split::Kind::Bytewise ? 1 : std::max<std::size_t>(2, bytes.size() / 4);
    std::uniform_int_distribution<std::size_t> length(1, most);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = std::min(length(rng), bytes.size() - at);
        pieces.push_back(bytes.substr(at, n));
        at += n;
    }
    return pieces;
}
