#include "app/logic/SingleInstance.h"

#include <cstdint>

#include "tags/Func_.h"

std::string InstanceMutexName(const std::string& exePathSjis) {
    // FNV-1a: stable across builds and runs, which std::hash does not promise.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : UpperSjis(exePathSjis)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string name = "Local\\Quillbox-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += kHex[(hash >> shift) & 0xF];
    }
    return name;
}
