#include "platform/Platform.h"

#include <cstdlib>

namespace platform {

namespace {
Platform* current = nullptr;
}

Platform& Current() {
    // A core call before the entry installed a platform is a programming error, not a state
    // to limp on from.
    if (current == nullptr) {
        std::abort();
    }
    return *current;
}

void SetCurrent(Platform* platform) {
    current = platform;
}

}  // namespace platform
