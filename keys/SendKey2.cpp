#include "keys/SendKey2.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "keys/Keydefs.h"
#include "platform/Platform.h"
#include "platform/Sjis.h"

namespace {

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkMenu = 0x12;
// Each side of the modifiers, as the system keeps their state.
constexpr std::uint8_t kVkLWin = 0x5B;
constexpr std::uint8_t kVkRWin = 0x5C;
constexpr std::uint8_t kVkLShift = 0xA0;
constexpr std::uint8_t kVkRShift = 0xA1;
constexpr std::uint8_t kVkLControl = 0xA2;
constexpr std::uint8_t kVkRControl = 0xA3;
constexpr std::uint8_t kVkLMenu = 0xA4;
constexpr std::uint8_t kVkRMenu = 0xA5;

// Codes of single characters that are not a key's own letter or digit. The modifier rows
// come first: they decide what "^", "@" and "~" press.
struct CharKey {
    char ch;
    std::uint8_t code;
};
constexpr CharKey kCharKeys[] = {
    {kCtrlChar, kVkControl},
    {kAltChar, kVkMenu},
    {kShiftChar, kVkShift},
    {' ', 0x20},
    {'*', 0x6A},
    {'+', 0x6B},
    {',', 0xBC},
    {'-', 0x6D},
    {'.', 0x6E},
    {'/', 0x6F},
};

std::string UpperBytes(std::string text) {
    for (char& c : text) {
        c = UpperAscii(c);
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
        if (!IsModifier(token)) {
            return;
        }
        ctrl_ = ctrl_ || token[0] == kCtrlChar;
        alt_ = alt_ || token[0] == kAltChar;
        shift_ = shift_ || token[0] == kShiftChar;
    }

    static bool IsModifier(const std::string& token) {
        return token.size() == 1 && IsModifierChar(token[0]);
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

// The token that begins at p, upper-cased: one character or a braced name (empty for "{}");
// p is left on its last character.
std::string NextToken(const std::string& group, std::size_t& p) {
    std::string token(1, UpperAscii(group[p]));
    if (token == "{") {
        std::size_t close = group.find('}', p + 1);
        if (close == std::string::npos) {
            close = group.size();
        }
        token = UpperBytes(group.substr(p + 1, close - p - 1));
        p = close;
    }
    return token;
}

// Modifier keys the user holds while a group is typed: Ctrl held would turn "@F" into
// Ctrl+Alt+F, which opens no menu, and "P" into Ctrl+P. They are let go for the group and,
// where that is harmless, pressed again right after it, so the window in which the user's own
// release could be missed is the few microseconds of one group's events.
//
// Alt and the Windows keys are let go and not pressed again: an Alt pressed while the group's
// menu is open closes it, and a lone press of either arms the system for the user's coming
// release, which then opens the menu bar of the window in front or the Start menu. Their release
// finds those keys already up and does nothing.
class UserKeys {
  public:
    explicit UserKeys(const std::string& group) : own_(OwnModifiers(group)) {}

    // Lets go of every held modifier the group does not press itself. The group's own one is
    // left to the group: its press finds the key down and its release lets it go.
    void LetGo() {
        auto& os = platform::Current();
        for (const Side& key : kSides) {
            if (!os.IsKeyDown(key.vk)) {
                continue;
            }
            if (key.pressAgain) {
                held_.push_back(key.vk);
            }
            if (!IsOwn(key)) {
                os.KeyUp(key.vk);
            }
        }
    }

    // Presses again, last released first, the held Shift and Ctrl keys that are up now. Each
    // gets its press even if one before it fails; the first failure is passed on at the end.
    void PressAgain() {
        auto& os = platform::Current();
        std::exception_ptr failure;
        for (auto it = held_.rbegin(); it != held_.rend(); ++it) {
            try {
                if (!os.IsKeyDown(*it)) {
                    os.KeyDown(*it);
                }
            } catch (...) {
                if (!failure) {
                    failure = std::current_exception();
                }
            }
        }
        held_.clear();
        if (failure) {
            std::rethrow_exception(failure);
        }
    }

  private:
    struct Side {
        std::uint8_t vk;
        std::uint8_t generic;  // the code a script's modifier presses; 0 for none
        bool left;             // an injected generic code lands on the left key
        bool pressAgain;
    };
    // Let go in this order, pressed again in the reverse one.
    static constexpr Side kSides[] = {
        {kVkLWin, 0, true, false},
        {kVkRWin, 0, false, false},
        {kVkLMenu, kVkMenu, true, false},
        {kVkRMenu, kVkMenu, false, false},
        {kVkLControl, kVkControl, true, true},
        {kVkRControl, kVkControl, false, true},
        {kVkLShift, kVkShift, true, true},
        {kVkRShift, kVkShift, false, true},
    };

    // The codes of the modifiers that open the group ("^", "@", "~", braced or not), as bytes.
    // Only those: a key before a modifier must not meet the user's held one.
    static std::string OwnModifiers(const std::string& group) {
        std::string own;
        for (std::size_t p = 0; p < group.size(); ++p) {
            const std::string token = NextToken(group, p);
            if (!GroupKeys::IsModifier(token)) {
                break;
            }
            own += static_cast<char>(TokenCode(token));
        }
        return own;
    }

    bool IsOwn(const Side& key) const {
        return key.left && key.generic != 0 &&
               own_.find(static_cast<char>(key.generic)) != std::string::npos;
    }

    std::string own_;
    std::vector<std::uint8_t> held_;
};

// Presses the group's tokens in turn; false at a token with an empty name.
bool SendTokens(const std::string& group, GroupKeys& keys) {
    auto& os = platform::Current();
    for (std::size_t p = 0; p < group.size(); ++p) {
        const std::string token = NextToken(group, p);
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
    UserKeys user(group);
    GroupKeys keys;
    bool complete = false;
    try {
        user.LetGo();
        complete = SendTokens(group, keys);
        keys.ReleaseAll();
    } catch (...) {
        // A modifier left down would turn the user's next keystrokes into shortcuts. (After a
        // failing ReleaseAll this one finds nothing left to release.)
        try {
            keys.ReleaseAll();
        } catch (...) {
        }
        try {
            user.PressAgain();
        } catch (...) {
        }
        throw;
    }
    user.PressAgain();
    return complete;
}
