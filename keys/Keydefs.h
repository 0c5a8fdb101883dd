// Names that may stand between braces in a keystroke script, and their virtual-key codes.
#pragma once

#include <cstdint>
#include <string>

struct TKeyNameEntry {
    const char* KeyName;
    std::uint8_t KeyCode;
};

extern const TKeyNameEntry KeyNameTable[31];

bool FindKeyName(const std::string& name, std::uint8_t& code);
