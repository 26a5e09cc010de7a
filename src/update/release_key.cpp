#include "update/release_key.h"

std::string builtInReleaseKey() {
#ifdef TELVARN_RELEASE_KEY_LINE
    return TELVARN_RELEASE_KEY_LINE;
#else
    return {};
#endif
}
