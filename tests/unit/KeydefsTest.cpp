#include "keys/Keydefs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FindKeyName, ExactNamesInAnyCaseOnly) {
    const struct {
        std::string name;
        int code;  // -1: not found, the out code stays untouched
    } cases[] = {
        {"F1", 0x70},    {"f12", 0x7B},  {"Enter", 0x0D},  {"pgup", 0x21}, {"PGDN", 0x22},
        {"SPACE", 0x20}, {"spc", 0x20},  {"ESCAPE", 0x1B}, {"Esc", 0x1B},  {"SHIFT", 0x10},
        {"PRTSC", 0x2C}, {"BKSP", 0x08}, {"", -1},         {"F13", -1},    {"ESCAPEX", -1},
        {"ENT", -1},     {" ENTER", -1}, {"SPACEBAR", -1}, {"^", -1},      {{"ESC\0", 4}, -1},
    };
    for (const auto& c : cases) {
        std::uint8_t code = 0x99;
        EXPECT_EQ(FindKeyName(c.name, code), c.code >= 0) << c.name;
        EXPECT_EQ(code, c.code >= 0 ? c.code : 0x99) << c.name;
    }
}

}  // namespace
