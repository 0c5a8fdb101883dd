// The strip's behaviour over a fake desktop and a fake window: the fake window, and a fixture
// with Jw_cad's folder, three drawings and a Jw_cad that opens a window for each start.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>

#include "jwcad/JwcadStrip.h"
#include "keys/SendKey.h"
#include "platform/fake/FakePlatform.h"
#include "tags/Func_.h"
#include "tags/UnitV.h"

namespace stripfake {

using platform::WindowHandle;

class FakeStrip : public IStrip {
  public:
    void SetTimer(bool enabled, std::int32_t intervalMs) override {
        timerEnabled = enabled;
        timerInterval = intervalMs;
        ++timerChanges;
    }
    void ArmRescan(std::uint32_t delayMs) override { rescansArmed.push_back(delayMs); }
    void ClearTabs() override { tabs.clear(); }
    void AddTab(const std::string& caption) override { tabs.push_back(caption); }
    void SetTabs(const std::vector<std::string>& captions) override {
        tabs = captions;
        ++tabReplacements;
    }
    std::int32_t ArrangeControls(std::int32_t direction) override {
        ++arranges;
        return direction < 0 || direction > 3 ? 0 : direction;
    }
    void KeepOnTop() override { ++keepOnTop; }
    void ApplyGeometry(const TSettings& s) override { geometry = s; }
    void CollectGeometry(TSettings& s) override {
        s.Form1Left = geometry.Form1Left;
        s.Form1Top = geometry.Form1Top;
    }
    void ErrorBox(const char* text, const std::string& detail) override {
        messages.push_back(std::string("error:") + text + detail);
    }
    bool ConfirmYesNo(const char* text) override {
        messages.push_back(std::string("confirm:") + text);
        return confirmAnswer;
    }
    void InfoOk(const char* text) override { messages.push_back(std::string("info:") + text); }
    bool RetryCancel(const char* text, const std::string& detail) override {
        messages.push_back(std::string("retry:") + text + detail);
        return retries-- > 0;
    }
    bool AskTagName(std::string& name) override {
        proposedNames.push_back(name);
        if (!tagNameAnswer) {
            return false;
        }
        name = *tagNameAnswer;
        return true;
    }
    bool EditTagList() override {
        if (!editorRows) {
            return false;
        }
        CommitEditedTags(*editorRows);
        return true;
    }
    bool EditSettings(TSettingsValues& values) override {
        settingsIn = values;
        if (!settingsAnswer) {
            return false;
        }
        values = *settingsAnswer;
        return true;
    }
    void CloseStrip() override { ++closes; }

    bool timerEnabled = false;
    std::int32_t timerInterval = 0;
    int timerChanges = 0;
    std::vector<std::uint32_t> rescansArmed;  // the one-shot timer's delays, in order
    std::vector<std::string> tabs;
    int tabReplacements = 0;
    int arranges = 0;
    int keepOnTop = 0;
    TSettings geometry;
    std::vector<std::string> messages;
    bool confirmAnswer = true;
    int retries = 0;  // RetryCancel answers 再試行 this many times, then キャンセル
    std::vector<std::string> proposedNames;
    std::optional<std::string> tagNameAnswer;
    std::optional<std::vector<TEditedRow>> editorRows;
    TSettingsValues settingsIn;
    std::optional<TSettingsValues> settingsAnswer;
    int closes = 0;
};

inline constexpr char kTagFile[] = "C:\\QB\\quillbox.tag";
inline constexpr char kTbkFile[] = "C:\\QB\\quillbox.tbk";
inline constexpr char kDatFile[] = "C:\\QB\\quillbox.dat";
inline constexpr char kJwKey[] = "SOFTWARE\\Jw_cad\\jw_win\\";
inline constexpr std::uint8_t kVkMenu = 0x12;

class JwcadStripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KeyWait = 0;
        fake().SetRegistryString(kJwKey, "Folder", "File", "C:\\JWW");
        fake().PutFile("C:\\JWW\\detail.jww", "");
        fake().PutFile("C:\\JWW\\plan1.jww", "");
        fake().PutFile("D:\\WORK\\section.jww", "");
        fake().Associate(".JWW", "C:\\JWW\\Jw_win.exe");
        // Jw_cad's side: each start opens a window titled after the drawing.
        fake().onStart = [this](const std::string& cmd, const std::string&) {
            std::string path = cmd.substr(cmd.find(' ') + 1);
            path = path.substr(0, path.find(' '));
            const platform::ProcessId pid = nextPid++;
            started[pid] = fake().AddWindow(FileNameOf(path) + " - jw_win", pid);
            return std::optional<platform::ProcessId>(pid);
        };
    }
    void TearDown() override {
        ClearTags();
        JwwHandles.clear();
        JwwCount = 0;
        TargetWindow = 0;
        MaximizeOnSend = 0;
    }

    static std::string FileNameOf(const std::string& path) {
        return path.substr(path.find_last_of('\\') + 1);
    }
    platform::FakePlatform& fake() { return scoped.fake; }

    // The key-down events sent while window w had the focus, as letters ("@" for Alt).
    std::string KeysTo(WindowHandle w) {
        std::string out;
        for (const auto& k : fake().keys) {
            if (k.down && k.foreground == w) {
                out += k.vk == kVkMenu ? '@' : k.vk == 0x0D ? '\n' : static_cast<char>(k.vk);
            }
        }
        return out;
    }

    void PutTagFile() {
        fake().PutFile(kTagFile,
                       "C:\\JWW\\DETAIL.JWW\r\n3\r\ndetail.jww\r\nC:\\JWW\\detail.jww\r\n"
                       "Back\r\nC:\\JWW\\plan1.jww\r\nSection\r\nD:\\WORK\\section.jww /p\r\n"
                       "C:\\JWW\\PLAN1.JWW\r\n2\r\nplan1.jww\r\nC:\\JWW\\plan1.jww\r\n"
                       "Detail\r\nC:\\JWW\\detail.jww\r\n");
    }

    platform::ScopedFakePlatform scoped;
    FakeStrip strip;
    JwcadStrip jw{strip};
    platform::ProcessId nextPid = 100;
    std::map<platform::ProcessId, WindowHandle> started;
};

}  // namespace stripfake
