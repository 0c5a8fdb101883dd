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

// The characters of a script that hold a modifier down for the rest of their key group.
constexpr char kCtrlChar = '^';
constexpr char kAltChar = '@';
constexpr char kShiftChar = '~';

constexpr bool IsModifierChar(char c) {
    return c == kCtrlChar || c == kAltChar || c == kShiftChar;
}
