// The three dialogs under Wine, driven from the strip: naming imported tags, editing the list in
// the editor's grid, changing the settings, and every window coming back where it was left.
#include <gtest/gtest.h>

#include "driver/Driver.h"
#include "tags/Func_.h"

#include <commctrl.h>

using namespace e2e;

namespace {

const std::wstring kFolder = L"図面";
const std::wstring kDrawing = L"平面図.jww";
const std::wstring kNameMessage = L"タグ名を入力して下さい。";
const std::wstring kIntervalMessage =
    L"アプリケーション検索割込時間は、0より大きく、60秒以内で入力して下さい。";
const std::wstring kKeyWaitMessage =
    L"コマンドキー送信ウエイト時間は、0～60秒以内で入力して下さい。";
const std::wstring kOk = L"ＯＫ(&Y)";
const std::wstring kCancel = L"キャンセル(&N)";

// The grid's pixels: rows of 24 plus a line, columns 81 and 296 wide as designed.
constexpr int kRowPitch = 25;
constexpr int kCol0Width = 81;

std::string Line(const std::wstring& text) {
    return Sjis(text) + "\r\n";
}

// Re-scan every 300 ms and a short key wait unless told otherwise, every window at its designed
// place.
std::string Settings(int intervalMs = 300, const std::string& keyWait = "0.02") {
    std::string s = "0\r\n" + std::to_string(intervalMs) + "\r\n" + keyWait + "\r\n0\r\n";
    for (int v : {192, 107, 256, 82, 192, 110, 237, 131, 192, 107, 415, 281, 81, 296}) {
        s += std::to_string(v) + "\r\n";
    }
    return s;
}

// A control's text through the message the control answers, marshalled across processes.
std::wstring Text(HWND control) {
    wchar_t buffer[512] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK,
                        2000, &result);
    return buffer;
}

void SetText(HWND control, const std::wstring& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK,
                        2000, &result);
}

bool Checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The direct children of a window of one class, in creation (tab) order.
std::vector<HWND> Children(HWND parent, const std::wstring& className) {
    std::vector<HWND> found;
    for (HWND w = GetWindow(parent, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (lstrcmpiW(cls, className.c_str()) == 0) {
            found.push_back(w);
        }
    }
    return found;
}

// The control that has the keyboard focus in the thread of window.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

std::string Describe(HWND w) {
    if (w == nullptr) {
        return "nothing";
    }
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return Utf8(cls) + " \"" + Utf8(WindowTitle(w)) + "\"";
}

// Waits until the focus of the dialog's thread is on the control; says where it is if not.
::testing::AssertionResult FocusComesTo(HWND dialog, HWND control) {
    if (WaitFor([&] { return FocusOf(dialog) == control; })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "the focus is on " << Describe(FocusOf(dialog)) << " instead of " << Describe(control)
           << "; in front: " << Describe(GetForegroundWindow());
}

// Moves (and, given a size, sizes) a window and waits until the place holds. Under Wine a
// window moved the moment it was shown can be put back by a late report of where the X server
// or the window manager mapped it, which no user's drag is quick enough to meet (seen under
// openbox): it is moved again then.
bool MoveTo(HWND w, int left, int top, int width = 0, int height = 0) {
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (width == 0 ? SWP_NOSIZE : 0);
    const auto holds = [&] {
        const RECT r = WindowRect(w);
        return r.left == left && r.top == top &&
               (width == 0 || (r.right - r.left == width && r.bottom - r.top == height));
    };
    for (int attempt = 0; attempt < 10; ++attempt) {
        SetWindowPos(w, nullptr, left, top, width, height, flags);
        if (WaitFor(holds, 1000)) {
            Sleep(200);
            if (holds()) {
                return true;
            }
        }
    }
    return false;
}

// A child's rectangle in its parent's client coordinates.
RECT PlaceIn(HWND parent, HWND child) {
    RECT r = WindowRect(child);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right, r.bottom};
}

::testing::AssertionResult Place(const RECT& r, int left, int top, int width, int height) {
    if (r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "at " << r.left << "," << r.top << " size " << r.right - r.left << "x"
           << r.bottom - r.top << ", expected " << left << "," << top << " size " << width << "x"
           << height;
}

// Clicks of the mouse posted to the grid, in client pixels: they queue up behind the button
// clicks posted before them.
void PostClick(HWND grid, int x, int y) {
    PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PostCellClick(HWND grid, int col, int row) {
    const int x = col == 0 ? 10 : kCol0Width + 10;
    PostClick(grid, x, row * kRowPitch + 10);  // the rows shown start at the top
}

class Dialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(QuillboxExe().empty()) << "quillbox.exe is not built";
        drawing = ws.CreateDrawing(kFolder + L"\\" + kDrawing);
        exe = ws.InstallQuillbox();
        const std::wstring base = exe.substr(0, exe.size() - 4);
        datFile = base + L".dat";
        tagFile = base + L".tag";
        ASSERT_TRUE(WriteBytes(datFile, Settings()));
    }

    void TearDown() override {
        if (strip != nullptr && IsWindow(strip)) {
            quillbox.Kill();
        }
    }

    // jwsim on the drawing with an argument, so the drawing information it copies holds a
    // blank, as the CAD program's does.
    void StartDrawing() {
        jw = ws.StartJwsim(drawing, L"/p");
        ASSERT_NE(WaitForProcessWindow(jw.pid()), nullptr);
    }

    void StartStrip() {
        quillbox = Start(L"\"" + exe + L"\"", ws.folder(), {{L"JWSIM_LOG", ws.logPath()}});
        ASSERT_TRUE(WaitFor([&] {
            strip = FindTopWindow([&](HWND w) {
                wchar_t cls[64] = {};
                GetClassNameW(w, cls, 64);
                return std::wstring(cls) == L"QuillboxStrip";
            });
            return strip != nullptr;
        }));
        tab = FindChild(strip, WC_TABCONTROLW);
        ASSERT_NE(tab, nullptr);
    }

    // Closes the strip as its close command does, which writes the files.
    void CloseStrip() {
        PostMessageW(strip, WM_CLOSE, 0, 0);
        ASSERT_TRUE(quillbox.WaitExit(8000));
        strip = nullptr;
    }

    bool WaitForTabs(const std::vector<std::wstring>& expected, DWORD timeoutMs = 8000) {
        return WaitFor([&] { return TabTexts(tab) == expected; }, timeoutMs);
    }

    HWND StripButton(const wchar_t* caption) { return FindChild(tab, L"Button", caption); }

    // Clicks a strip button as the user does, with the strip in front.
    HWND Open(const wchar_t* button, const std::wstring& title) {
        HWND b = StripButton(button);
        EXPECT_NE(b, nullptr) << Utf8(button);
        EXPECT_TRUE(Activate(strip));
        ClickButton(b);
        HWND dialog = WaitForOwnedWindow(strip, title, 8000);
        EXPECT_NE(dialog, nullptr) << Utf8(title);
        return dialog;
    }

    // 取, and the name dialog that asks. The import gives up on the clipboard after 1.5 s.
    HWND Import() {
        EXPECT_TRUE(Activate(strip));
        ClickButton(StripButton(L"取"));
        HWND dialog = WaitForOwnedWindow(strip, L"タグ名入力", 4000);
        EXPECT_NE(dialog, nullptr) << "no tag name dialog";
        return dialog;
    }

    static void Press(HWND dialog, const std::wstring& caption) {
        HWND b = FindChild(dialog, L"Button", caption);
        ASSERT_NE(b, nullptr) << Utf8(caption);
        ClickButton(b);
    }

    static ::testing::AssertionResult Closes(HWND dialog) {
        if (WaitFor([&] { return !IsWindowVisible(dialog); })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << Utf8(WindowTitle(dialog)) << " stays open";
    }

    // The input error box over a dialog: its text, then dismissed with its one button.
    static void DismissError(HWND dialog, const std::wstring& message) {
        HWND box = WaitForOwnedWindow(dialog, L"Quillbox");
        ASSERT_NE(box, nullptr) << "no message for " << Utf8(message);
        EXPECT_NE(FindChild(box, L"Static", message), nullptr) << Utf8(message);
        HWND ok = FindChild(box, L"Button");
        ASSERT_NE(ok, nullptr);
        // Read first, as a user does: a click the instant the box appears comes before the X
        // server's focus events of its showing, sooner than any reader, and races them.
        Sleep(200);
        ClickButton(ok);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    }

    std::vector<std::string> DatLines() {
        auto dat = ReadBytes(datFile);
        EXPECT_TRUE(dat.has_value());
        return dat ? Lines(*dat) : std::vector<std::string>{};
    }

    Workspace ws;
    std::wstring drawing, exe, datFile, tagFile;
    Process jw;
    Process quillbox;
    HWND strip = nullptr;
    HWND tab = nullptr;
};

TEST_F(Dialogs, ImportedTagsAreNamedAndTheListIsEditedInTheGrid) {
    StartDrawing();
    StartStrip();
    ASSERT_TRUE(WaitForTabs({kDrawing}));

    // 取: the name dialog proposes the index the tag will get, and Enter takes it.
    HWND form3 = Import();
    ASSERT_NE(form3, nullptr);
    HWND nameEdit = FindChild(form3, L"Edit");
    EXPECT_EQ(Text(nameEdit), L"1");
    EXPECT_TRUE(FocusComesTo(form3, nameEdit));
    ASSERT_TRUE(Activate(form3));
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitForTabs({kDrawing, L"1"}));

    // A Japanese name typed over the proposal.
    ASSERT_EQ(Import(), form3);
    EXPECT_EQ(Text(nameEdit), L"2");
    SetText(nameEdit, L"詳細");
    Press(form3, kOk);
    ASSERT_TRUE(Closes(form3));
    ASSERT_TRUE(WaitForTabs({kDrawing, L"1", L"詳細"}));

    HWND form4 = Open(L"編", L"タグ名リストの編集");
    ASSERT_NE(form4, nullptr);
    HWND grid = FindChild(form4, L"QuillboxStringGrid");
    ASSERT_NE(grid, nullptr);
    HWND cellEdit = FindChild(grid, L"Edit");
    ASSERT_NE(cellEdit, nullptr);
    ASSERT_TRUE(Activate(form4));
    // The editor is shown with the focus on ▲.
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form4) == FindChild(form4, L"Button", L"▲"); }));

    // A blank row above the first tag, named by typing into its cell.
    Press(form4, L"挿入");
    PostCellClick(grid, 0, 2);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form4) == grid; }));
    for (std::uint8_t key : {'N', 'E', 'W'}) {
        TapKey(key);
    }
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(cellEdit) && Text(cellEdit) == L"new"; }));
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(cellEdit); }));

    // new 1 詳細 → ▼▼ → 1 詳細 new → ▲▲ → new 1 詳細; then the cell of "1" and 削除.
    for (const wchar_t* b : {L"▼", L"▼", L"▲", L"▲"}) {
        Press(form4, b);
    }
    PostCellClick(grid, 1, 3);
    Press(form4, L"削除");
    Press(form4, kOk);
    ASSERT_TRUE(Closes(form4));
    ASSERT_TRUE(WaitForTabs({kDrawing, L"new", L"詳細"}));

    // The list reaches the tag file when the strip closes: the typed row has no jump text,
    // the imported one keeps the copied drawing information.
    CloseStrip();
    auto saved = ReadBytes(tagFile);
    ASSERT_TRUE(saved.has_value());
    const std::string block = UpperSjis(Sjis(drawing)) + "\r\n3\r\n" + Line(kDrawing) +
                              Line(drawing) + "new\r\n\r\n" + Line(L"詳細") +
                              Line(drawing + L" /p");
    EXPECT_EQ(saved->substr(0, block.size()), block);
}

TEST_F(Dialogs, EmptyNamesAreRefusedAndCancelledDialogsChangeNothing) {
    StartDrawing();
    StartStrip();
    ASSERT_TRUE(WaitForTabs({kDrawing}));

    HWND form3 = Import();
    ASSERT_NE(form3, nullptr);
    HWND nameEdit = FindChild(form3, L"Edit");
    SetText(nameEdit, L"");
    Press(form3, kOk);
    DismissError(form3, kNameMessage);
    EXPECT_TRUE(FocusComesTo(form3, nameEdit));
    // The close box acts as Cancel.
    PostMessageW(form3, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Closes(form3));

    // Escape on a freshly shown dialog.
    ASSERT_EQ(Import(), form3);
    EXPECT_EQ(Text(nameEdit), L"1");
    ASSERT_TRUE(Activate(form3));
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(Closes(form3));

    // Edits in the editor are dropped by Cancel and by the close box.
    HWND form4 = Open(L"編", L"タグ名リストの編集");
    ASSERT_NE(form4, nullptr);
    Press(form4, L"挿入");
    Press(form4, L"挿入");
    Press(form4, kCancel);
    ASSERT_TRUE(Closes(form4));
    ASSERT_EQ(Open(L"編", L"タグ名リストの編集"), form4);
    Press(form4, L"削除");
    PostMessageW(form4, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Closes(form4));

    EXPECT_EQ(TabTexts(tab), std::vector<std::wstring>{kDrawing});
    CloseStrip();
    EXPECT_FALSE(FileExists(tagFile)) << "a drawing without tags is not stored";
}

TEST_F(Dialogs, SettingsAreCheckedAppliedAtOnceAndWrittenAtClose) {
    StartStrip();
    EXPECT_EQ(GetWindowLongW(tab, GWL_STYLE) & TCS_VERTICAL, 0);

    HWND form2 = Open(L"設", L"設定");
    ASSERT_NE(form2, nullptr);
    const std::vector<HWND> edits = Children(form2, L"Edit");
    ASSERT_EQ(edits.size(), 2u);
    HWND top = FindChild(form2, L"Button", L"上");
    HWND left = FindChild(form2, L"Button", L"左");
    HWND maximize = FindChild(form2, L"Button", L"キー送信時、最大化表示する");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(maximize, nullptr);
    EXPECT_EQ(Text(edits[0]), L"0.3");
    EXPECT_EQ(Text(edits[1]), L"0.02");
    EXPECT_TRUE(Checked(top));
    EXPECT_FALSE(Checked(maximize));
    EXPECT_TRUE(WaitFor([&] { return FocusOf(form2) == top; }));

    // Out of range: the message, the focus back on the field, the dialog open.
    SetText(edits[0], L"0");
    Press(form2, kOk);
    DismissError(form2, kIntervalMessage);
    EXPECT_TRUE(FocusComesTo(form2, edits[0]));
    SetText(edits[0], L"2.5");
    SetText(edits[1], L"-1");
    Press(form2, kOk);
    DismissError(form2, kKeyWaitMessage);
    EXPECT_TRUE(FocusComesTo(form2, edits[1]));

    SetText(edits[1], L"0.25");
    ClickButton(left);
    ClickButton(maximize);
    Press(form2, kOk);
    ASSERT_TRUE(Closes(form2));

    // The tags move to the left at once.
    EXPECT_TRUE(WaitFor([&] {
        const LONG style = GetWindowLongW(tab, GWL_STYLE);
        return (style & TCS_VERTICAL) != 0 && (style & TCS_RIGHT) == 0;
    }));

    // Shown again: the values as taken, in seconds; Cancel keeps them.
    ASSERT_EQ(Open(L"設", L"設定"), form2);
    EXPECT_EQ(Text(edits[0]), L"2.5");
    EXPECT_EQ(Text(edits[1]), L"0.25");
    EXPECT_TRUE(Checked(left));
    EXPECT_TRUE(Checked(maximize));
    SetText(edits[0], L"9");
    Press(form2, kCancel);
    ASSERT_TRUE(Closes(form2));

    CloseStrip();
    const std::vector<std::string> lines = DatLines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "2");
    EXPECT_EQ(lines[1], "2500");
    EXPECT_EQ(lines[2], "0.25");
    EXPECT_EQ(lines[3], "1");
}

TEST_F(Dialogs, NewIntervalAndKeyWaitTakeEffectWithoutARestart) {
    // A re-scan only every 30 s and no key wait, from the settings file.
    ASSERT_TRUE(WriteBytes(datFile, Settings(30000, "0")));
    StartDrawing();
    StartStrip();
    ASSERT_TRUE(WaitForTabs({kDrawing}));

    HWND form2 = Open(L"設", L"設定");
    ASSERT_NE(form2, nullptr);
    const std::vector<HWND> edits = Children(form2, L"Edit");
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(Text(edits[0]), L"30");
    EXPECT_EQ(Text(edits[1]), L"0");
    SetText(edits[0], L"0.5");
    SetText(edits[1], L"0.4");
    Press(form2, kOk);
    ASSERT_TRUE(Closes(form2));

    // The base drawing closes with another one open: only a re-scan at the new interval can
    // take that one up within 3 s; the old interval would leave the strip on the closed one
    // for half a minute.
    const std::wstring sectionName = L"断面図.jww";
    Process section = ws.StartJwsim(ws.CreateDrawing(kFolder + L"\\" + sectionName));
    ASSERT_NE(WaitForProcessWindow(section.pid()), nullptr);
    jw.Kill();
    ASSERT_TRUE(WaitForTabs({sectionName}, 3000)) << "the new interval is not in force";

    // "@FP{ENTER}" is three key groups with the key wait before each, and jwsim logs "print"
    // only once the last has arrived. Measured on the clock the strip waits by, from before
    // the click to after the event was seen, so the span can only come out too long.
    ASSERT_TRUE(Activate(strip));
    const ULONGLONG clicked = GetTickCount64();
    ClickButton(StripButton(L"Ｐ"));
    ASSERT_TRUE(ws.WaitForEvent(section.pid(), "print", 10000).has_value());
    const ULONGLONG elapsed = GetTickCount64() - clicked;
    EXPECT_GE(elapsed, 3u * 400u) << "the key wait of 0.4 s was not used";
}

TEST_F(Dialogs, KeyboardWalksTheDialogsAndTheFocusSurvivesAnotherWindow) {
    StartDrawing();
    StartStrip();
    ASSERT_TRUE(WaitForTabs({kDrawing}));

    // Tab walks the settings in tab order; the focus comes back to where it was after another
    // program's window was in front, and Enter in a field presses the default button, ＯＫ.
    HWND form2 = Open(L"設", L"設定");
    ASSERT_NE(form2, nullptr);
    const std::vector<HWND> edits = Children(form2, L"Edit");
    ASSERT_EQ(edits.size(), 2u);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form2) == FindChild(form2, L"Button", L"上"); }));
    ASSERT_TRUE(Activate(form2));
    TapKey(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form2) == edits[0]; }));
    TapKey(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form2) == edits[1]; }));
    ASSERT_TRUE(Activate(WaitForProcessWindow(jw.pid())));
    ASSERT_TRUE(Activate(form2));
    EXPECT_TRUE(FocusComesTo(form2, edits[1]));
    SetText(edits[1], L"0.25");
    TapKey(VK_RETURN);
    ASSERT_TRUE(Closes(form2));

    // The access key of キャンセル(&N), with Alt, cancels the name dialog.
    HWND form3 = Import();
    ASSERT_NE(form3, nullptr);
    ASSERT_TRUE(Activate(form3));
    TapKey('N', true);
    ASSERT_TRUE(Closes(form3));
    EXPECT_EQ(TabTexts(tab), std::vector<std::wstring>{kDrawing});

    // The editor has neither a default nor a cancel button: Escape leaves it open, Enter
    // presses the button that has the focus.
    HWND form4 = Open(L"編", L"タグ名リストの編集");
    ASSERT_NE(form4, nullptr);
    ASSERT_TRUE(Activate(form4));
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form4) == FindChild(form4, L"Button", L"▲"); }));
    TapKey(VK_ESCAPE);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(form4)) << "Escape closed the editor";
    for (int i = 0; i < 5; ++i) {
        TapKey(VK_TAB);
    }
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form4) == FindChild(form4, L"Button", kCancel); }));
    TapKey(VK_RETURN);
    ASSERT_TRUE(Closes(form4));

    CloseStrip();
    const std::vector<std::string> lines = DatLines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[2], "0.25") << "Enter did not take the settings";
}

// The labels of the dialogs are fitted to their text when a dialog first opens, not at start-up:
// a label made too narrow while its dialog was still hidden is whole once the dialog shows.
TEST_F(Dialogs, LabelsAreWholeOnceTheirDialogOpens) {
    StartDrawing();
    StartStrip();
    ASSERT_TRUE(WaitForTabs({kDrawing}));
    HWND hidden = FindWindowW(L"#32770", L"設定");
    ASSERT_NE(hidden, nullptr);
    ASSERT_FALSE(IsWindowVisible(hidden));
    const std::vector<HWND> labels = Children(hidden, L"Static");
    ASSERT_EQ(labels.size(), 4u);
    for (HWND label : labels) {
        SetWindowPos(label, nullptr, 0, 0, 4, 4, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND form2 = Open(L"設", L"設定");
    ASSERT_EQ(form2, hidden);
    // Measured here in the program's font: IPAGothic stands in for it in every process.
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    for (HWND label : labels) {
        const std::wstring text = Text(label);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        const SIZE size = ClientSize(label);
        EXPECT_GE(size.cx, extent.cx) << Utf8(text);
        EXPECT_GE(size.cy, extent.cy) << Utf8(text);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    Press(form2, kCancel);
    ASSERT_TRUE(Closes(form2));
}

TEST_F(Dialogs, OpenAtTheirDesignedPlacesAndComeBackWhereTheyWereLeft) {
    StartDrawing();
    StartStrip();
    ASSERT_TRUE(WaitForTabs({kDrawing}));

    HWND form2 = Open(L"設", L"設定");
    ASSERT_NE(form2, nullptr);
    EXPECT_EQ(WindowRect(form2).left, 192);
    EXPECT_EQ(WindowRect(form2).top, 110);
    EXPECT_EQ(ClientSize(form2).cx, 293);
    EXPECT_EQ(ClientSize(form2).cy, 166);
    EXPECT_EQ(GetWindowLongW(form2, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(Place(PlaceIn(form2, Children(form2, L"Edit")[0]), 208, 56, 57, 21));
    EXPECT_TRUE(Place(PlaceIn(form2, FindChild(form2, L"Button", kOk)), 80, 136, 75, 25));
    EXPECT_TRUE(Place(PlaceIn(form2, FindChild(form2, L"Button", kCancel)), 176, 136, 115, 25));
    ASSERT_TRUE(MoveTo(form2, 300, 200));
    Press(form2, kCancel);
    ASSERT_TRUE(Closes(form2));

    HWND form3 = Import();
    ASSERT_NE(form3, nullptr);
    EXPECT_EQ(WindowRect(form3).left, 237);
    EXPECT_EQ(WindowRect(form3).top, 131);
    EXPECT_EQ(ClientSize(form3).cx, 239);
    EXPECT_EQ(ClientSize(form3).cy, 93);
    EXPECT_NE(GetWindowLongW(form3, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(Place(PlaceIn(form3, FindChild(form3, L"Edit")), 24, 24, 209, 21));
    EXPECT_TRUE(Place(PlaceIn(form3, FindChild(form3, L"Button", kOk)), 24, 64, 75, 25));
    ASSERT_TRUE(MoveTo(form3, 400, 300));
    Press(form3, kCancel);
    ASSERT_TRUE(Closes(form3));

    HWND form4 = Open(L"編", L"タグ名リストの編集");
    ASSERT_NE(form4, nullptr);
    EXPECT_TRUE(Place(WindowRect(form4), 192, 107, 415, 281));
    HWND grid = FindChild(form4, L"QuillboxStringGrid");
    HWND status = FindChild(form4, STATUSCLASSNAMEW);
    const SIZE client = ClientSize(form4);
    EXPECT_TRUE(Place(PlaceIn(form4, grid), 0, 33, client.cx, client.cy - 33 - 19));
    EXPECT_TRUE(Place(PlaceIn(form4, status), 0, client.cy - 19, client.cx, 19));
    EXPECT_TRUE(Place(PlaceIn(form4, FindChild(form4, L"Button", L"挿入")), 68, 4, 37, 25));
    // Moved and sized; the name column pulled 40 pixels wider by its header line.
    ASSERT_TRUE(MoveTo(form4, 250, 150, 500, 320));
    PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kCol0Width, 10));
    PostMessageW(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kCol0Width + 40, 10));
    PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(kCol0Width + 40, 10));
    EXPECT_TRUE(WaitFor([&] {
        const SIZE c = ClientSize(form4);
        return Place(PlaceIn(form4, status), 0, c.cy - 19, c.cx, 19) && c.cx > client.cx;
    }));
    Press(form4, kCancel);
    ASSERT_TRUE(Closes(form4));

    CloseStrip();
    const std::vector<std::string> moved = {"300", "200", "400", "300", "250",
                                            "150", "500", "320", "121", "296"};
    std::vector<std::string> lines = DatLines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.end()), moved);

    // The next run puts each window back, and writes the same geometry again.
    StartStrip();
    ASSERT_TRUE(WaitForTabs({kDrawing}));
    form2 = Open(L"設", L"設定");
    ASSERT_NE(form2, nullptr);
    EXPECT_EQ(WindowRect(form2).left, 300);
    EXPECT_EQ(WindowRect(form2).top, 200);
    Press(form2, kCancel);
    ASSERT_TRUE(Closes(form2));
    form3 = Import();
    ASSERT_NE(form3, nullptr);
    EXPECT_EQ(WindowRect(form3).left, 400);
    EXPECT_EQ(WindowRect(form3).top, 300);
    Press(form3, kCancel);
    ASSERT_TRUE(Closes(form3));
    form4 = Open(L"編", L"タグ名リストの編集");
    ASSERT_NE(form4, nullptr);
    EXPECT_TRUE(Place(WindowRect(form4), 250, 150, 500, 320));
    Press(form4, kCancel);
    ASSERT_TRUE(Closes(form4));
    CloseStrip();
    lines = DatLines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.end()), moved);
}

}  // namespace
