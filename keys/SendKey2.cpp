#include "keys/SendKey2.h"

#include <cstdint>
#include <exception>
#include <optional>

#include "keys/Keydefs.h"
#include "platform/Platform.h"

namespace {

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkMenu = 0x12;

// Codes of single characters that are not a key's own letter or digit. The modifier rows
// come first: they decide what "^", "@" and "~" press.
struct CharKey {
    char ch;
    std::uint8_t code;
};
constexpr CharKey kCharKeys[] = {
    {'^', kVkControl}, {'@', kVkMenu}, {'~', kVkShift}, {' ', 0x20}, {'*', 0x6A},
    {'+', 0x6B},       {',', 0xBC},    {'-', 0x6D},     {'.', 0x6E}, {'/', 0x6F},
};

// Upper-casing of one byte as code page 932 does it: only a-z change.
char UpperByte(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperBytes(std::string text) {
    for (char& c : text) {
        c = UpperByte(c);
    }
    return text;
}

// The code of a non-empty token: a table name, a mapped character, or the first byte.
std::uint8_t TokenCode(const std::string& token) {
    std::uint8_t code = 0;
    if (FindKeyName(token, code)) {
        return code;
    }
    if (token.size() == 1) {
        for (const CharKey& row : kCharKeys) {
            if (row.ch == token[0]) {
                return row.code;
            }
        }
    }
    return static_cast<std::uint8_t>(token[0]);
}

// What one group holds down, so that every way out of the group lets it go again.
class GroupKeys {
  public:
    void Press(std::uint8_t code) {
        // Remembered before the press: should the press fail half-way, the release still
        // covers it.
        last_ = code;
        platform::Current().KeyDown(code);
    }

    void Hold(const std::string& token) {
        if (token == "^") {
            ctrl_ = true;
        } else if (token == "@") {
            alt_ = true;
        } else if (token == "~") {
            shift_ = true;
        }
    }

    static bool IsModifier(const std::string& token) {
        return token == "^" || token == "@" || token == "~";
    }

    // Ctrl, Alt, Shift: always this order, whatever order they were pressed in.
    void ReleaseModifiers() {
        Releases releases;
        ReleaseHeld(releases);
        releases.Finish();
    }

    // The last key once more (it may already be up; a second release is harmless), then the
    // modifiers still held.
    void ReleaseAll() {
        Releases releases;
        if (last_) {
            const std::uint8_t last = *last_;
            last_.reset();
            releases.Up(last);
        }
        ReleaseHeld(releases);
        releases.Finish();
    }

  private:
    // Lets keys go one after another. A release that fails must not keep the keys after it
    // down: each still gets its release, and the first failure is passed on at the end.
    class Releases {
      public:
        void Up(std::uint8_t code) {
            try {
                platform::Current().KeyUp(code);
            } catch (...) {
                if (!failure_) {
                    failure_ = std::current_exception();
                }
            }
        }
        void Finish() {
            if (failure_) {
                std::rethrow_exception(failure_);
            }
        }

      private:
        std::exception_ptr failure_;
    };

    void ReleaseHeld(Releases& releases) {
        const bool ctrl = ctrl_, alt = alt_, shift = shift_;
        ctrl_ = alt_ = shift_ = false;
        if (ctrl) {
            releases.Up(kVkControl);
        }
        if (alt) {
            releases.Up(kVkMenu);
        }
        if (shift) {
            releases.Up(kVkShift);
        }
    }

    std::optional<std::uint8_t> last_;
    bool ctrl_ = false;
    bool alt_ = false;
    bool shift_ = false;
};

// Presses the group's tokens in turn; false at a token with an empty name.
bool SendTokens(const std::string& group, GroupKeys& keys) {
    auto& os = platform::Current();
    for (std::size_t p = 0; p < group.size(); ++p) {
        std::string token(1, UpperByte(group[p]));
        if (token == "{") {
            std::size_t close = group.find('}', p + 1);
            if (close == std::string::npos) {
                close = group.size();
            }
            token = UpperBytes(group.substr(p + 1, close - p - 1));
            p = close;
        }
        if (token.empty()) {
            return false;
        }
        const std::uint8_t code = TokenCode(token);
        keys.Press(code);
        if (GroupKeys::IsModifier(token)) {
            keys.Hold(token);
        } else {
            os.KeyUp(code);
            keys.ReleaseModifiers();
        }
    }
    return true;
}

}  // namespace

bool SendKeyGroup(const std::string& group) {
    GroupKeys keys;
    bool complete = false;
    try {
        complete = SendTokens(group, keys);
    } catch (...) {
        // A modifier left down would turn the user's next keystrokes into shortcuts.
        try {
            keys.ReleaseAll();
        } catch (...) {
        }
        throw;
    }
    keys.ReleaseAll();
    return complete;
}
