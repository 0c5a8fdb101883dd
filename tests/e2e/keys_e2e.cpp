// Keystroke scripts played through the real platform into jwsim: what the CAD program
// receives, and what it does with it.
#include "tests/e2e/driver/Driver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "keys/SendKey.h"
#include "platform/win32/ScopedHandle.h"

namespace {

using e2e::KeyEvent;

constexpr wchar_t kDrawing[] = L"図面\\詳細図.jww";
constexpr wchar_t kTitle[] = L"詳細図.jww - jw_win";

// One group as the sender plays it: the key is released once more after the modifier.
std::vector<KeyEvent> Group(std::uint8_t vk, bool alt = false) {
    if (alt) {
        return {{VK_MENU, true}, {vk, true}, {vk, false}, {VK_MENU, false}, {vk, false}};
    }
    return {{vk, true}, {vk, false}, {vk, false}};
}

std::vector<KeyEvent> Join(std::initializer_list<std::vector<KeyEvent>> groups) {
    std::vector<KeyEvent> all;
    for (const auto& group : groups) {
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
}

// jwsim's log lines ("<pid> <event>[ <detail>]") of one process: event and detail. Read with
// every sharing allowed: a reader that shuts out writers makes jwsim drop the line it was
// appending at that moment.
std::vector<std::pair<std::string, std::string>> LogOf(const std::wstring& log, DWORD pid) {
    std::vector<std::pair<std::string, std::string>> lines;
    platform::ScopedHandle file(::CreateFileW(
        log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return lines;
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    const std::string prefix = std::to_string(pid) + " ";
    for (std::size_t pos = 0, end; (end = bytes.find('\n', pos)) != std::string::npos;
         pos = end + 1) {
        const std::string line = bytes.substr(pos, end - pos);
        if (line.rfind(prefix, 0) != 0) {
            continue;
        }
        const std::size_t blank = line.find(' ', prefix.size());
        lines.emplace_back(line.substr(prefix.size(), blank - prefix.size()),
                           blank == std::string::npos ? "" : line.substr(blank + 1));
    }
    return lines;
}

class KeysE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetCurrent(&e2e::Platform());
        KeyWait = 0.05;
        MaximizeOnSend = 0;
    }
    void TearDown() override {
        TargetWindow = 0;
        KeyWait = 0.5;
        platform::SetCurrent(nullptr);
    }

    // jwsim on the drawing, its window the target of the next script.
    void StartJwsim(const std::wstring& args = {}) {
        drawing_ = ws_.CreateDrawing(kDrawing);
        jw_ = ws_.StartJwsim(drawing_, args);
        HWND window = e2e::WaitForWindowTitled(kTitle);
        ASSERT_NE(window, nullptr) << "jwsim showed no window";
        TargetWindow = reinterpret_cast<platform::WindowHandle>(window);
    }

    bool WaitForEvent(const std::string& name) const {
        return e2e::WaitFor([&] {
            for (const auto& line : LogOf(ws_.logPath(), jw_.pid())) {
                if (line.first == name) {
                    return true;
                }
            }
            return false;
        });
    }

    std::vector<KeyEvent> Keys() const {
        std::vector<KeyEvent> keys;
        for (const auto& [name, detail] : LogOf(ws_.logPath(), jw_.pid())) {
            const bool down = name == "keydown" || name == "syskeydown";
            if (down || name == "keyup" || name == "syskeyup") {
                keys.push_back({static_cast<std::uint8_t>(std::stoul(detail, nullptr, 16)), down});
            }
        }
        return keys;
    }

    // Wine's menus and message boxes take some key messages past jwsim's log, so the log
    // holds the keys sent in their order with gaps; the first group, sent before any menu is
    // open, arrives whole. Nothing else may appear.
    void ExpectKeysArrived(const std::vector<KeyEvent>& sent) const {
        const std::vector<KeyEvent> first = Group('F', true);
        const std::vector<KeyEvent> logged = Keys();
        ASSERT_GE(logged.size(), first.size());
        EXPECT_TRUE(std::equal(first.begin(), first.end(), logged.begin()));
        std::size_t next = 0;
        for (const KeyEvent& key : logged) {
            while (next < sent.size() && !(sent[next] == key)) {
                ++next;
            }
            ASSERT_LT(next, sent.size())
                << "unexpected or out-of-order key " << int(key.vk) << (key.down ? " down" : " up");
            ++next;
        }
    }

    e2e::Workspace ws_;
    std::wstring drawing_;
    e2e::Process jw_;
};

TEST_F(KeysE2E, PrintScriptPutsTheDrawingIntoPrintMode) {
    ASSERT_NO_FATAL_FAILURE(StartJwsim());
    SendKeysToTarget("@FP{ENTER}");
    EXPECT_FALSE(e2e::AnyModifierDown());
    EXPECT_TRUE(WaitForEvent("print")) << "no print mode";
    ExpectKeysArrived(Join({Group('F', true), Group('P'), Group(VK_RETURN)}));
}

TEST_F(KeysE2E, InfoScriptLeavesPathAndArgumentsOnTheClipboard) {
    const std::wstring args = L"/n 縮尺=1:50";
    ASSERT_NO_FATAL_FAILURE(StartJwsim(args));
    ClearClipboardText();
    SendKeysToTarget("@FFI");
    EXPECT_FALSE(e2e::AnyModifierDown());
    std::string text;
    EXPECT_TRUE(e2e::WaitFor([&] {
        text = ReadClipboardText();
        return !text.empty();
    })) << "the clipboard stayed empty";
    EXPECT_EQ(text, e2e::Sjis(drawing_ + L" " + args));
    // 図面\詳細図.jww /n 縮尺=1:50 in Shift-JIS, whatever the conversions on the way.
    const std::string tail =
        "\x90\x7D\x96\xCA\\\x8F\xDA\x8D\xD7\x90\x7D.jww /n \x8F\x6B\x8E\xDA=1:50";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_TRUE(WaitForEvent("copy"));
    ExpectKeysArrived(Join({Group('F', true), Group('F'), Group('I')}));
}

TEST_F(KeysE2E, ExitScriptClosesTheDrawing) {
    ASSERT_NO_FATAL_FAILURE(StartJwsim());
    SendKeysToTarget("@FX");
    EXPECT_FALSE(e2e::AnyModifierDown());
    EXPECT_TRUE(jw_.WaitExit()) << "jwsim did not exit";
    EXPECT_TRUE(WaitForEvent("exit"));
    ExpectKeysArrived(Join({Group('F', true), Group('X')}));
}

}  // namespace
