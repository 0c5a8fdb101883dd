// The real platform against jwsim under Wine: the contract Quillbox builds on, exercised
// through the same calls the program makes, with Japanese folder and file names.
#include "tests/e2e/driver/Driver.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

using e2e::KeyEvent;

constexpr wchar_t kDrawing[] = L"図面\\詳細図.jww";
constexpr wchar_t kTitle[] = L"詳細図.jww - jw_win";

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return s;
}

// A jwsim on a drawing, with its window found and brought to the front.
struct RunningJwsim {
    e2e::Process process;
    HWND window = nullptr;
};

RunningJwsim StartAndActivate(const e2e::Workspace& ws, const std::wstring& drawing,
                              const std::wstring& args, const std::wstring& title,
                              e2e::EnvOverrides env = {}) {
    RunningJwsim jw{ws.StartJwsim(drawing, args, std::move(env))};
    jw.window = e2e::WaitForWindowTitled(title);
    EXPECT_NE(jw.window, nullptr) << "no window titled " << e2e::Utf8(title);
    if (jw.window != nullptr) {
        EXPECT_TRUE(e2e::Activate(jw.window)) << "jwsim never became the foreground window";
    }
    return jw;
}

TEST(Probe, DrawingInfoReachesTheClipboardAsShiftJis) {
    e2e::Workspace ws;
    std::wstring drawing = ws.CreateDrawing(kDrawing);
    const std::wstring args = L"/n 縮尺=1:50";
    ASSERT_TRUE(e2e::ClearClipboard());
    RunningJwsim jw = StartAndActivate(ws, drawing, args, kTitle);
    ASSERT_NE(jw.window, nullptr);

    e2e::TapKey('F', /*alt=*/true);
    e2e::TapKey('F');
    e2e::TapKey('I');

    std::optional<std::string> text;
    ASSERT_TRUE(e2e::WaitFor([&] {
        text = e2e::ClipboardSjis();
        return text && !text->empty();
    })) << "the clipboard stayed empty";
    EXPECT_EQ(*text, e2e::Sjis(drawing + L" " + args));
    // 図面\詳細図.jww in Shift-JIS, byte for byte: 詳 ends in 0x5C-free bytes, but 図 does not
    // start the path, so the folder separator before it must be a real one.
    const std::string sjisTail =
        "\x90\x7D\x96\xCA\\\x8F\xDA\x8D\xD7\x90\x7D.jww /n \x8F\x6B\x8E\xDA=1:50";
    ASSERT_GE(text->size(), sjisTail.size());
    EXPECT_EQ(text->substr(text->size() - sjisTail.size()), sjisTail);

    const std::vector<KeyEvent> expected = {{0x12, true}, {'F', true},  {'F', false}, {0x12, false},
                                            {'F', true},  {'F', false}, {'I', true},  {'I', false}};
    EXPECT_TRUE(e2e::WaitFor([&] { return ws.Keys(jw.process.pid()).size() >= expected.size(); }));
    EXPECT_EQ(ws.Keys(jw.process.pid()), expected);
}

TEST(Probe, FolderValueIsReadBackFromTheUserRegistry) {
    e2e::Workspace ws;
    ASSERT_TRUE(e2e::DeleteJwFolderValue());
    EXPECT_EQ(e2e::JwFolderValue(), std::nullopt);

    std::wstring drawing = ws.CreateDrawing(kDrawing);
    e2e::Process jw = ws.StartJwsim(drawing);
    std::string folder = e2e::Sjis(ws.Path(L"図面"));
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::JwFolderValue() == folder; }))
        << "folder value: " << e2e::Utf8(e2e::FromSjis(e2e::JwFolderValue().value_or("(none)")));

    std::string value;
    EXPECT_EQ(
        e2e::Platform().ReadUserString("SOFTWARE\\Jw_cad\\jw_win\\", "Folder", "Nothing", value),
        platform::RegistryRead::Missing);
    EXPECT_EQ(e2e::Platform().ReadUserString("SOFTWARE\\No\\Such\\Key", "Folder", "File", value),
              platform::RegistryRead::Missing);
}

// What ReadUserString makes of each kind of value, written straight into the registry.
TEST(Probe, UserStringReadsOnlyStringValues) {
    const wchar_t* key = L"SOFTWARE\\QuillboxProbe\\値";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key);
    const std::wstring text = L"C:\\図面";
    const std::wstring expand = L"%TEMP%\\表";
    const DWORD number = 7;
    const std::wstring unterminated = L"表示";  // stored without its zero
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, L"sz", REG_SZ, text.c_str(),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, L"expand", REG_EXPAND_SZ, expand.c_str(),
                                static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_EQ(
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key, L"dword", REG_DWORD, &number, sizeof(number)),
        ERROR_SUCCESS);
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, L"bare", REG_SZ, unterminated.c_str(),
                                static_cast<DWORD>(unterminated.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    struct Case {
        const char* name;
        platform::RegistryRead result;
        std::wstring value;
    };
    const Case cases[] = {
        {"sz", platform::RegistryRead::Ok, text},
        {"expand", platform::RegistryRead::Ok, expand},  // as stored, not expanded
        {"bare", platform::RegistryRead::Ok, unterminated},
        {"dword", platform::RegistryRead::Error, L"unchanged"},
        {"none", platform::RegistryRead::Missing, L"unchanged"},
    };
    for (const Case& c : cases) {
        std::string value = e2e::Sjis(L"unchanged");
        // Key and sub-key are joined with one backslash, whether the key ends in one or not.
        EXPECT_EQ(e2e::Platform().ReadUserString("SOFTWARE\\QuillboxProbe\\", e2e::Sjis(L"値"),
                                                 c.name, value),
                  c.result)
            << c.name;
        EXPECT_EQ(e2e::FromSjis(value), c.value) << c.name;
    }
    std::string value;
    EXPECT_EQ(
        e2e::Platform().ReadUserString("SOFTWARE\\QuillboxProbe", e2e::Sjis(L"値"), "sz", value),
        platform::RegistryRead::Ok);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\QuillboxProbe");
}

// The file calls a crash-safe save is made of, on Japanese paths: write, flush, close, then
// rename over the old file.
TEST(Probe, FilesWriteFlushAndReplaceOnJapanesePaths) {
    e2e::Workspace ws;
    platform::Platform& p = e2e::Platform();
    ASSERT_TRUE(e2e::MakeFolders(ws.Path(L"設定")));
    const std::string folder = e2e::Sjis(ws.Path(L"設定"));
    const std::string target = folder + e2e::Sjis(L"\\表ソ.tag");  // 表 and ソ end in 0x5C
    const std::string temp = folder + e2e::Sjis(L"\\表ソ.tmp");
    const std::string oldBytes = "old\r\n";
    const std::string newBytes = "new\r\n" + e2e::Sjis(L"図面") + "\r\n";

    ASSERT_TRUE(e2e::WriteBytes(e2e::FromSjis(target), oldBytes));
    std::unique_ptr<platform::OutFile> out = p.CreateFile(temp);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->Write(newBytes));
    EXPECT_TRUE(out->Flush());
    EXPECT_TRUE(out->Close());
    EXPECT_FALSE(out->Write("late")) << "a closed file took more bytes";

    EXPECT_FALSE(p.RenameFile(temp, target, /*replace=*/false));
    EXPECT_EQ(p.ReadFile(target), oldBytes);
    EXPECT_TRUE(p.RenameFile(temp, target, /*replace=*/true));
    EXPECT_FALSE(p.FileExists(temp));
    EXPECT_EQ(p.ReadFile(target), newBytes);

    EXPECT_FALSE(p.FileExists(folder)) << "a folder is not a file";
    EXPECT_TRUE(p.DeleteFile(target));
    EXPECT_FALSE(p.DeleteFile(target));
    EXPECT_EQ(p.ReadFile(target), std::nullopt);
    EXPECT_EQ(p.CreateFile(folder + e2e::Sjis(L"\\ない\\x.tag")), nullptr);

    const std::wstring exe = e2e::FromSjis(p.ExecutablePath());
    EXPECT_EQ(Lower(exe.substr(exe.rfind(L'\\') + 1)), L"probe_e2e.exe");
}

TEST(Probe, FindExecutableNamesJwsimForAnExistingDrawing) {
    e2e::Workspace ws;
    std::wstring drawing = ws.CreateDrawing(kDrawing);
    std::string program = e2e::Platform().FindExecutable(e2e::Sjis(drawing));
    EXPECT_EQ(Lower(e2e::FromSjis(program)), Lower(e2e::JwsimExe()));
    EXPECT_EQ(e2e::Platform().FindExecutable(e2e::Sjis(ws.Path(L"図面\\ない.jww"))), "");
}

TEST(Probe, StartProcessPassesTheJapaneseCommandLineAndFolder) {
    e2e::Workspace ws;
    std::wstring drawing = ws.CreateDrawing(kDrawing);
    std::wstring folder = ws.Path(L"図面");
    ::SetEnvironmentVariableW(L"JWSIM_LOG", ws.logPath().c_str());
    std::optional<platform::ProcessId> pid = e2e::Platform().StartProcess(
        e2e::Sjis(e2e::JwsimExe() + L" 詳細図.jww /x 寸法"), e2e::Sjis(folder), 10000);
    ::SetEnvironmentVariableW(L"JWSIM_LOG", nullptr);
    ASSERT_TRUE(pid.has_value());
    e2e::Process jw(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, *pid), *pid);

    // A relative drawing path resolves against the working folder.
    std::optional<e2e::Event> opened = ws.WaitForEvent(*pid, "open");
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->detail, drawing);
    HWND window = e2e::WaitForProcessWindow(*pid);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(e2e::WindowTitle(window), kTitle);

    EXPECT_FALSE(e2e::Platform().StartProcess(e2e::Sjis(ws.Path(L"ない.exe")), "", 1000));
}

TEST(Probe, WindowTextIsCutWithoutSplittingADoubleByteCharacter) {
    e2e::Workspace ws;
    std::wstring drawing = ws.CreateDrawing(kDrawing);
    e2e::Process jw = ws.StartJwsim(drawing);
    HWND window = e2e::WaitForWindowTitled(kTitle);
    ASSERT_NE(window, nullptr);
    auto w = reinterpret_cast<platform::WindowHandle>(window);
    const std::string full = e2e::Sjis(kTitle);
    struct Case {
        int maxCount;
        std::string expected;
    };
    const Case cases[] = {{0, ""},
                          {1, ""},
                          {2, ""},  // one byte cannot hold 詳
                          {3, full.substr(0, 2)},
                          {4, full.substr(0, 2)},
                          {5, full.substr(0, 4)},
                          {255, full}};
    for (const Case& c : cases) {
        EXPECT_EQ(e2e::Platform().GetWindowText(w, c.maxCount), c.expected)
            << "maxCount " << c.maxCount;
    }
}

TEST(Probe, PrintModeAndExitWithTheSavePrompt) {
    e2e::Workspace ws;
    std::wstring drawing = ws.CreateDrawing(kDrawing);
    RunningJwsim jw = StartAndActivate(ws, drawing, {}, kTitle, {{L"JWSIM_MODIFIED", L"1"}});
    ASSERT_NE(jw.window, nullptr);
    DWORD pid = jw.process.pid();

    e2e::TapKey('F', true);
    e2e::TapKey('P');
    HWND dialog = e2e::WaitForOwnedWindow(jw.window, L"印刷");
    ASSERT_NE(dialog, nullptr) << "no print dialog";
    // As the CAD program's own dialog it takes the keyboard by itself: Enter confirms it.
    e2e::TapKey(VK_RETURN);
    EXPECT_TRUE(ws.WaitForEvent(pid, "print"));

    // The print dialog's end hands the focus back through the X server, which on a loaded
    // machine may give it to the window only after the first keys: then they go again, once
    // the menu they may have opened is closed.
    bool prompted = false;
    for (int attempt = 0; attempt < 3 && !prompted; ++attempt) {
        ASSERT_TRUE(e2e::Activate(jw.window));
        e2e::TapKey('F', true);
        e2e::TapKey('X');
        prompted = ws.WaitForEvent(pid, "saveprompt", 3000).has_value();
        if (!prompted) {
            e2e::TapKey(VK_ESCAPE);
            e2e::TapKey(VK_ESCAPE);
        }
    }
    ASSERT_TRUE(prompted);
    HWND prompt = e2e::WaitForOwnedWindow(jw.window, L"jw_win");
    ASSERT_NE(prompt, nullptr);
    ASSERT_TRUE(e2e::ClickButton(::GetDlgItem(prompt, IDNO)));
    EXPECT_TRUE(ws.WaitForEvent(pid, "nosave"));
    EXPECT_TRUE(ws.WaitForEvent(pid, "exit"));
    EXPECT_TRUE(jw.process.WaitExit());
}

TEST(Probe, OpeningAnotherDrawingChangesTitleAndFolder) {
    e2e::Workspace ws;
    std::wstring first = ws.CreateDrawing(kDrawing);
    std::wstring second = ws.CreateDrawing(L"別の図面\\平面図.JWW");
    e2e::Process jw =
        ws.StartJwsim(first, {}, {{L"JWSIM_OPEN_AFTER_MS", L"300"}, {L"JWSIM_OPEN_PATH", second}});
    HWND window = e2e::WaitForWindowTitled(kTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::WindowTitle(window) == L"平面図.JWW - jw_win"; }));
    EXPECT_EQ(e2e::JwFolderValue(), e2e::Sjis(ws.Path(L"別の図面")));
}

TEST(Probe, OwnedWindowWithTheSameTitleIsOwned) {
    e2e::Workspace ws;
    std::wstring drawing = ws.CreateDrawing(kDrawing);
    e2e::Process jw = ws.StartJwsim(drawing, {}, {{L"JWSIM_OWNED_DIALOG", L"1"}});
    HWND main = e2e::WaitForProcessWindow(jw.pid());
    ASSERT_NE(main, nullptr);
    HWND owned = e2e::WaitForOwnedWindow(main, kTitle);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(e2e::Platform().GetOwner(reinterpret_cast<platform::WindowHandle>(owned)),
              reinterpret_cast<platform::WindowHandle>(main));
}

}  // namespace

namespace {

// The start-up switches other scenarios lean on: how soon jwsim is input-idle, and what kind
// of top-level window it has by then.
TEST(Probe, StartUpSwitchesShapeIdleAndWindow) {
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        DWORD idleResult;
        bool visible;
    };
    const Case cases[] = {
        {L"JWSIM_NONE", L"", 0, true},
        {L"JWSIM_SLOW_START_MS", L"300", 0, true},
        {L"JWSIM_HIDDEN", L"1", 0, false},
        {L"JWSIM_NEVER_IDLE", L"1", WAIT_TIMEOUT, true},
    };
    e2e::Workspace ws;
    std::wstring drawing = ws.CreateDrawing(kDrawing);
    for (const Case& c : cases) {
        SCOPED_TRACE(e2e::Utf8(c.name));
        e2e::Process jw = ws.StartJwsim(drawing, {}, {{c.name, c.value}});
        ASSERT_TRUE(jw.started());
        EXPECT_EQ(::WaitForInputIdle(jw.handle(), c.idleResult == 0 ? 10000 : 500), c.idleResult);
        // Its main window by its class, shown or not: the thread's other top-level windows
        // (the input method's, say) are never shown.
        HWND window = nullptr;
        e2e::WaitFor([&] {
            return (window = e2e::FindUnownedWindowOf(jw.pid(), false, L"JwsimMain")) != nullptr;
        });
        ASSERT_NE(window, nullptr) << "no main window at all";
        // Found between its creation and its ShowWindow (seen under KWin), a window that is
        // about to show is not shown yet.
        if (c.visible) {
            e2e::WaitFor([&] { return ::IsWindowVisible(window) != FALSE; });
        }
        EXPECT_EQ(::IsWindowVisible(window) != FALSE, c.visible);
    }
}

}  // namespace
