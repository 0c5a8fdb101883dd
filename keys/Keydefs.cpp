#include "keys/Keydefs.h"

#include "platform/Sjis.h"

// Searched from the top: the first equal name wins.
const TKeyNameEntry KeyNameTable[31] = {
    {"F1", 0x70},   {"F2", 0x71},    {"F3", 0x72},     {"F4", 0x73},     {"F5", 0x74},
    {"F6", 0x75},   {"F7", 0x76},    {"F8", 0x77},     {"F9", 0x78},     {"F10", 0x79},
    {"F11", 0x7A},  {"F12", 0x7B},   {"INSERT", 0x2D}, {"DELETE", 0x2E}, {"HOME", 0x24},
    {"END", 0x23},  {"PGUP", 0x21},  {"PGDN", 0x22},   {"TAB", 0x09},    {"ENTER", 0x0D},
    {"BKSP", 0x08}, {"PRTSC", 0x2C}, {"SHIFT", 0x10},  {"SPACE", 0x20},  {"SPC", 0x20},
    {"LEFT", 0x25}, {"UP", 0x26},    {"RIGHT", 0x27},  {"DOWN", 0x28},   {"ESCAPE", 0x1B},
    {"ESC", 0x1B},
};

bool FindKeyName(const std::string& name, std::uint8_t& code) {
    // Names are at most 7 characters; a longer text is cut, never matched by its prefix.
    std::string key = name.substr(0, 7);
    for (char& c : key) {
        c = UpperAscii(c);
    }
    for (const TKeyNameEntry& entry : KeyNameTable) {
        if (key == entry.KeyName) {
            code = entry.KeyCode;
            return true;
        }
    }
    return false;
}
