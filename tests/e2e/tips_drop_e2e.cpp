// The strip tells where a tag leads on its tab's tool tip, and takes drawings dragged onto it:
// real pointer input through the X server, as a user's mouse and file manager make it.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/Driver.h"
#include "platform/win32/ScopedHandle.h"
#include "tags/Func_.h"

#include <commctrl.h>

using namespace e2e;

namespace {

const std::wstring kFolder = L"図面";
const std::wstring kDetail = L"詳細図.jww";
const std::wstring kMissingNote = L"\u3000※ファイルが見つかりません";

std::string Line(const std::wstring& text) {
    return Sjis(text) + "\r\n";
}

// Tab i's rectangle on the screen; the tab control is another process's, so its answer goes
// into a buffer there.
RECT TabRectOnScreen(HWND tab, int i) {
    RECT r{};
    DWORD pid = 0;
    GetWindowThreadProcessId(tab, &pid);
    platform::ScopedHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    void* remote =
        VirtualAllocEx(process.get(), nullptr, sizeof r, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) {
        ADD_FAILURE() << "VirtualAllocEx failed";
        return r;
    }
    SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
    SIZE_T moved = 0;
    ReadProcessMemory(process.get(), remote, &r, sizeof r, &moved);
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The text of the tool tip that process pid shows now; empty when it shows none.
std::wstring ShownTip(DWORD pid) {
    std::wstring text;
    FindTopWindow([&](HWND w) {
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != pid || std::wstring(cls) != TOOLTIPS_CLASSW) {
            return false;
        }
        wchar_t buffer[1024] = {};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 2000,
                            &copied);
        text = buffer;
        return true;
    });
    return text;
}

class TipsAndDrop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(QuillboxExe().empty()) << "quillbox.exe is not built";
        EndEveryDrawing();
        detail = ws.CreateDrawing(kFolder + L"\\" + kDetail);
        plan = ws.CreateDrawing(kFolder + L"\\平面図.jww");
        gone = ws.Path(kFolder + L"\\撤去図.jww");
        exe = ws.InstallQuillbox();
        const std::wstring base = exe.substr(0, exe.size() - 4);
        tagFile = base + L".tag";
        // Re-scan every 300 ms; the designed places.
        std::string settings = "0\r\n300\r\n0.1\r\n0\r\n";
        for (int v : {192, 107, 256, 82, 192, 110, 237, 131, 192, 107, 415, 281, 81, 296}) {
            settings += std::to_string(v) + "\r\n";
        }
        ASSERT_TRUE(WriteBytes(base + L".dat", settings));
        ASSERT_TRUE(WriteBytes(tagFile, UpperSjis(Sjis(detail)) + "\r\n3\r\n" + Line(kDetail) +
                                            Line(detail) + "Plan\r\n" + Line(plan + L" /x") +
                                            "Gone\r\n" + Line(gone)));
    }

    void TearDown() override {
        if (strip != nullptr && IsWindow(strip)) {
            PostMessageW(strip, WM_CLOSE, 0, 0);
            quillbox.WaitExit(5000);
        }
        EndEveryDrawing();
    }

    void StartStrip(const std::vector<std::wstring>& tabs) {
        jw = ws.StartJwsim(detail);
        ASSERT_NE(WaitForProcessWindow(jw.pid()), nullptr);
        quillbox = Start(L"\"" + exe + L"\"", ws.folder(), {{L"JWSIM_LOG", ws.logPath()}});
        ASSERT_TRUE(WaitFor([&] {
            return (strip = FindUnownedWindowOf(quillbox.pid(), true, L"QuillboxStrip")) != nullptr;
        }));
        tab = FindChild(strip, WC_TABCONTROLW);
        ASSERT_NE(tab, nullptr);
        ASSERT_TRUE(WaitFor([&] { return TabTexts(tab) == tabs; }, 8000));
    }

    // Rests the pointer on tab i and waits for the tip to say expected.
    ::testing::AssertionResult TipOnTab(int i, const std::wstring& expected) {
        const RECT r = TabRectOnScreen(tab, i);
        const int x = (r.left + r.right) / 2;
        const int y = (r.top + r.bottom) / 2;
        if (!XdoTool(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y))) {
            return ::testing::AssertionFailure() << "xdotool failed";
        }
        std::wstring shown;
        if (WaitFor([&] { return (shown = ShownTip(quillbox.pid())) == expected; }, 8000)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "tab " << i << " shows " << Utf8(shown) << ", not " << Utf8(expected);
    }

    Workspace ws;
    std::wstring detail, plan, gone, exe, tagFile;
    Process jw, quillbox;
    HWND strip = nullptr;
    HWND tab = nullptr;
};

}  // namespace

// Resting on a tab shows its jump text, and says so when its drawing is missing; going from
// tab to tab, the tip follows. The buttons keep their own hints.
TEST_F(TipsAndDrop, TabTipShowsTheJumpTextAndAMissingDrawing) {
    StartStrip({kDetail, L"Plan", L"Gone"});
    EXPECT_TRUE(TipOnTab(1, plan + L" /x"));
    EXPECT_TRUE(TipOnTab(2, gone + kMissingNote));
    EXPECT_TRUE(TipOnTab(0, detail));
    HWND edit = FindChild(tab, L"Button", L"編");
    ASSERT_NE(edit, nullptr);
    const RECT b = WindowRect(edit);
    ASSERT_TRUE(XdoTool(L"mousemove " + std::to_wstring((b.left + b.right) / 2) + L" " +
                        std::to_wstring((b.top + b.bottom) / 2)));
    EXPECT_TRUE(WaitFor(
        [&] { return ShownTip(quillbox.pid()) == L"[編集]：タグ名リストを編集します。"; }, 8000));
}

namespace {

// A Windows path of ours as Linux names it: Wine shows the Linux root as Z:.
std::string UnixPath(const std::wstring& path) {
    std::string unix = Utf8(path.substr(2));
    std::replace(unix.begin(), unix.end(), '\\', '/');
    return unix;
}

// The text of a control of another process.
std::wstring ControlText(HWND edit) {
    wchar_t buffer[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 2000,
                        &copied);
    return buffer;
}

// Every text a box of another process shows, one after the other.
std::wstring BoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) {
            wchar_t cls[32] = {};
            GetClassNameW(child, cls, 32);
            if (lstrcmpiW(cls, L"Static") == 0) {
                *reinterpret_cast<std::wstring*>(data) += ControlText(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

}  // namespace

// Drawings dragged from an X program onto the strip with the mouse become tags in the order
// dragged, each named in the tag name dialog, which proposes the file's own name. A folder, and
// a name that Shift-JIS cannot spell, are refused each in a box of its own.
TEST_F(TipsAndDrop, DrawingsDraggedOntoTheStripBecomeTags) {
    const std::wstring added = ws.CreateDrawing(kFolder + L"\\追加図.jww");
    const std::wstring layout = ws.CreateDrawing(L"配置図.JWW");
    const std::wstring foreign = ws.CreateDrawing(L"Caf\u00e9.jww");
    StartStrip({kDetail, L"Plan", L"Gone"});
    const std::string ready = UnixPath(ws.Path(L"xdrag.ready"));
    const RECT s = WindowRect(strip);
    const int x0 = s.left + 40;
    const int y0 = s.bottom + 100;
    RunLinux("(python3 '" + RequiredEnv("QB_SOURCE_DIR") + "/tests/e2e/xdrag.py' " +
             std::to_string(x0) + " " + std::to_string(y0) + " '" + ready + "' '" +
             UnixPath(ws.Path(kFolder)) + "' '" + UnixPath(foreign) + "' '" + UnixPath(added) +
             "' '" + UnixPath(layout) + "' &)");
    ASSERT_TRUE(WaitFor([&] { return FileExists(WinPath(ready)); }, 8000));
    ASSERT_TRUE(RealDrag(x0 + 20, y0 + 20, (s.left + s.right) / 2, s.top + 20));
    for (const std::wstring refusal :
         {L"フォルダはタグに取り込めません。", L"使えない文字が含まれているため"}) {
        HWND box = WaitForOwnedWindow(strip, L"エラー", 8000);
        ASSERT_NE(box, nullptr) << Utf8(refusal);
        EXPECT_NE(BoxText(box).find(refusal), std::wstring::npos) << Utf8(BoxText(box));
        ClickButton(FindChild(box, L"Button", L"OK"));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    }
    for (const std::wstring name : {L"追加図", L"配置図"}) {
        HWND form3 = WaitForOwnedWindow(strip, L"タグ名入力", 8000);
        ASSERT_NE(form3, nullptr) << Utf8(name);
        HWND edit = FindChild(form3, L"Edit");
        EXPECT_EQ(ControlText(edit), name);
        ClickButton(FindChild(form3, L"Button", L"ＯＫ(&Y)"));
        // The same dialog asks for the next name at once, and may be shown again before a
        // poll sees it hidden: either way, this name is done with.
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(form3) || ControlText(edit) != name; }))
            << Utf8(name);
    }
    EXPECT_TRUE(WaitFor([&] {
        return TabTexts(tab) ==
               std::vector<std::wstring>{kDetail, L"Plan", L"Gone", L"追加図", L"配置図"};
    }));
    std::string saved;
    EXPECT_TRUE(WaitFor([&] {
        saved = ReadBytes(tagFile).value_or("");
        return saved.find(Line(L"追加図") + Line(added) + Line(L"配置図") + Line(layout)) !=
               std::string::npos;
    })) << saved;
}
