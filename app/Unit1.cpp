#include "app/Unit1.h"

#include <commctrl.h>

#include <algorithm>

#include "app/MessageBoxes.h"
#include "app/Screen.h"
#include "app/Ui.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "app/logic/Geometry.h"
#include "app/logic/Layout.h"
#include "platform/Platform.h"
#include "platform/win32/Codepage.h"

TForm1* Form1 = nullptr;

namespace {

constexpr wchar_t kClassName[] = L"QuillboxStrip";
constexpr UINT_PTR kTimerId = 1;
// Looks for a change of screen that came without a message (Wine sends none). Apart from
// Timer1, which stops while a command or dialog runs and may be set never to tick.
constexpr UINT_PTR kScreenTimerId = 2;
constexpr UINT kScreenTimerMs = 2000;
constexpr int kFirstButtonId = 101;

struct ButtonText {
    const wchar_t* caption;
    const wchar_t* hint;
};

constexpr ButtonText kButtons[kButtonCount] = {
    {L"×", L"閉じる：本ソフトを終了します"},
    {L"設", L"設定：本ソフトの設定を行います"},
    {L"Ｐ", L"[P]：準備を行います。印刷モードになりますので印刷範囲を決めて下さい。"},
    {L"取", L"[取込]：タグジャンプのための図面情報コピーを行います。"},
    {L"編", L"[編集]：タグ名リストを編集します。"},
    {L"印", L"[印刷]：一括印刷のため追加タグ名リストから連続起動を行います。"},
    {L"閉",
     L"[閉じる]：追加タグ名リストから起動したJw_"
     L"cad画面を閉じます。※編集を行っている場合には確認メッセ"
     L"ージが出るので注意"},
};

// Button k's click, by its id.
constexpr ui::CommandEntry<TForm1> kCommands[kButtonCount] = {
    {kFirstButtonId + 0, &TForm1::Button1Click}, {kFirstButtonId + 1, &TForm1::Button2Click},
    {kFirstButtonId + 2, &TForm1::Button3Click}, {kFirstButtonId + 3, &TForm1::Button4Click},
    {kFirstButtonId + 4, &TForm1::Button5Click}, {kFirstButtonId + 5, &TForm1::Button6Click},
    {kFirstButtonId + 6, &TForm1::Button7Click},
};

platform::Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The visible windows that overlap the strip: no other can come over it. Under Wine every
// question about another program's window is a round trip to the server, and the desktop may
// hold hundreds of windows at every tick, so the place is asked first and alone.
struct TopWindowsOver {
    RECT strip;
    std::vector<TopWindow> windows;
};

void AddTopWindow(HWND hwnd, TopWindowsOver* look) {
    const RECT r = ui::WindowRect(hwnd);
    RECT common{};
    if (IntersectRect(&common, &r, &look->strip) && IsWindowVisible(hwnd) && !IsIconic(hwnd)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        const bool topmost = (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        look->windows.push_back({reinterpret_cast<std::uintptr_t>(hwnd), ToRect(r), topmost,
                                 pid == GetCurrentProcessId()});
    }
}

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

bool TForm1::Create() {
    if (!ui::RegisterWindowClass(kClassName, WindowProc,
                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
        return false;
    }
    // No frame at all: the window rectangle is the client area.
    const geometry::Box& place = geometry::kStrip;
    // Drawings may be dropped onto it (the style alone: shell32 loads at the first drop).
    return CreateHandle(WS_EX_TOPMOST | WS_EX_ACCEPTFILES, kClassName, ui::kAppTitle,
                        WS_POPUP | WS_CLIPCHILDREN, place.left, place.top, place.width,
                        place.height);
}

bool TForm1::OnCreate() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    TabControl1 = ui::TabStrip(CreateWindowExW(
        0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
        client.right, client.bottom, hwnd_, nullptr, ui::Instance(), nullptr));
    // The buttons live on the tab strip; their clicks come to the strip's window through it.
    if (!TabControl1 || !tabForwarder_.Take(TabControl1.Handle())) {
        return false;
    }
    ui::SetFont(TabControl1.Handle());
    autoTabHeight_ = MeasureAutoTabHeight();

    // Where the default settings put them: the start then finds them in place. Every move of a
    // child costs a round trip to the window server under Wine.
    const TStripLayout layout =
        LayoutFor(TSettingsValues{}.TagDirection, client.right, client.bottom);
    constexpr int kSize = geometry::kStripButtonSize;
    for (int k = 0; k < kButtonCount; ++k) {
        int left = 0;
        int top = 0;
        ButtonPosition(layout, k + 1, left, top);
        buttons_[k] = CreateWindowExW(
            0, L"BUTTON", kButtons[k].caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
            left, top, kSize, kSize, TabControl1.Handle(),
            reinterpret_cast<HMENU>(INT_PTR{kFirstButtonId + k}), ui::Instance(), nullptr);
        if (buttons_[k] == nullptr) {
            return false;
        }
        ui::SetFont(buttons_[k]);
    }
    return true;
}

// How tall the tab strip makes tabs of this font on its own: "automatic" height.
int TForm1::MeasureAutoTabHeight() const {
    TabControl1.Insert(0, L"probe");
    const RECT item = TabControl1.ItemRect(0);
    TabControl1.DeleteAll();
    return item.bottom - item.top;
}

void TForm1::CreateHints() {
    tooltip_ = ui::ToolTip(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                           nullptr, ui::Instance(), nullptr));
    ui::SetFont(tooltip_.Handle());
    for (int k = 0; k < kButtonCount; ++k) {
        tooltip_.AddWindowTool(TabControl1.Handle(), buttons_[k], kButtons[k].hint);
    }
    AddTabTips();
}

// ---- The strip's events, each handed to the job that answers it -------------------------------

void TForm1::FormShow() {
    logic_.Start();
}
void TForm1::FormResize() {
    logic_.Resize();
}
void TForm1::Timer1Timer() {
    logic_.Tick();
}
void TForm1::FormClose(bool sessionEnding) {
    logic_.Finish(sessionEnding);
}
bool TForm1::TabControl1Change(int index) {
    return logic_.JumpTo(index);
}
void TForm1::Button1Click() {
    logic_.Quit();
}
void TForm1::Button2Click() {
    logic_.OpenSettings();
}
void TForm1::Button3Click() {
    logic_.Print();
}
void TForm1::Button4Click() {
    logic_.Import();
}
void TForm1::Button5Click() {
    logic_.EditTags();
}
void TForm1::Button6Click() {
    logic_.BatchPrint();
}
void TForm1::Button7Click() {
    logic_.CloseLaunched();
}

void TForm1::Show() {
    FormShow();
    placed_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    screenWatch_.Changed(ui::MonitorAreas());
    ::SetTimer(hwnd_, kScreenTimerId, kScreenTimerMs, nullptr);
    CameOver();
    WatchWindows();
}

void TForm1::CompleteStart() {
    CreateHints();
    if (dialogGeometry_) {
        ApplyDialogGeometry(*dialogGeometry_);
        dialogGeometry_.reset();
    }
}

// ---- Messages ------------------------------------------------------------------------------

void TForm1::OnSize(int width, int height) {
    MoveWindow(TabControl1.Handle(), 0, 0, width, height, TRUE);
    if (placed_) {
        FormResize();
    }
}

void TForm1::OnTimer(UINT_PTR id) {
    if (id == kTimerId) {
        Timer1Timer();
        RaiseIfCameOver();
    } else if (id == kRescanTimerId) {
        KillTimer(hwnd_, kRescanTimerId);
        RescanDue();
    } else if (id == kScreenTimerId && screenWatch_.Changed(ui::MonitorAreas())) {
        FitToScreen();
    }
}

void TForm1::FitToScreen() {
    ui::KeepReachable(hwnd_);
    const ui::ModalDialog* dialogs[] = {Form2, Form3, Form4};
    for (const ui::ModalDialog* dialog : dialogs) {
        // A hidden dialog is fitted when it is shown.
        if (dialog != nullptr && IsWindowVisible(dialog->Handle())) {
            ui::KeepReachable(dialog->Handle());
        }
    }
}

void TForm1::RaiseIfCameOver() {
    // Without a window manager a window opened or activated over the strip stays above it
    // until something raises the strip. Raising it at every scan would close a tool tip the
    // user is reading, so only when a window has come over it. Under a window manager, which
    // kept the strip above all along, that raise is the one every command ends with. A window
    // that came over may be mapped or activated by the X server only a moment after the strip
    // was raised, so the next scan raises it once more.
    if (!logic_.Busy()) {
        const bool came = CameOver();
        if (came || raiseAgain_) {
            KeepOnTop();
        }
        raiseAgain_ = came;
    }
}

bool TForm1::CameOver() {
    // Each window's place costs a request of its own under Wine, hundreds at every scan. Only
    // a window created, shown or renamed (the events the desktop announces), a change of the
    // active window or of the strip's place can bring a window over the strip; otherwise
    // nothing is asked. A window moved over the strip without being activated waits for the
    // next such change.
    const HWND foreground = GetForegroundWindow();
    const RECT strip = ui::WindowRect(hwnd_);
    if (!desktopChanged_ && foreground == lookedForeground_ &&
        EqualRect(&strip, &lookedStrip_) != FALSE) {
        return false;
    }
    desktopChanged_ = false;
    lookedForeground_ = foreground;
    lookedStrip_ = strip;
    TopWindowsOver look{strip, {}};
    // The platform's enumeration, which spares Wine's server a question per window.
    platform::Current().EnumWindows([&look](platform::WindowHandle w) {
        AddTopWindow(reinterpret_cast<HWND>(w), &look);
        return true;
    });
    return coverWatch_.CameOver(ToRect(strip), look.windows,
                                reinterpret_cast<std::uintptr_t>(foreground));
}

void TForm1::OnCommand(int id, int code, HWND) {
    if (code == BN_CLICKED) {
        ui::RunCommand(*this, kCommands, id);
    }
}

LRESULT TForm1::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == tooltip_.Handle() && header.code == TTN_GETDISPINFOW) {
        return OnTipNeeded(header);
    }
    if (header.hwndFrom != TabControl1.Handle()) {
        return 0;
    }
    // The selection moves only with a jump: a click while a command runs changes nothing, and
    // one that jumps nowhere (the drawing is missing, say) goes back, so that clicking the same
    // tab again tries again.
    if (header.code == TCN_SELCHANGING) {
        selectedTab_ = TabControl1.Selection();
        return logic_.Busy() ? TRUE : FALSE;
    }
    if (header.code == TCN_SELCHANGE && !TabControl1Change(TabControl1.Selection())) {
        TabControl1.Select(selectedTab_);
    }
    return 0;
}

void TForm1::OnClose() {
    // A close asked for in the middle of a command happens when the command ends.
    if (logic_.CanCloseNow()) {
        Close();
        DestroyWindow(hwnd_);
    }
}

void TForm1::OnDestroy() {
    tabForwarder_.Release();
    tabTips_.Release();
    UnwatchWindows();
    KillTimer(hwnd_, kTimerId);
    KillTimer(hwnd_, kScreenTimerId);
    PostQuitMessage(0);
}

void TForm1::OnDisplayChange() {
    screenWatch_.Changed(ui::MonitorAreas());
    FitToScreen();
    Default();
}

void TForm1::OnSettingChange(UINT action) {
    if (action == SPI_SETWORKAREA) {
        screenWatch_.Changed(ui::MonitorAreas());
        FitToScreen();
    }
    Default();
}

void TForm1::OnEndSession(bool ending) {
    // Windows is shutting down or the user logs off: the process ends without a close, and the
    // tags of the drawing in hand would be lost with it.
    if (ending) {
        Close(true);
    }
}

void TForm1::Close(bool sessionEnding) {
    if (!closed_) {
        closed_ = true;
        FormClose(sessionEnding);
    }
}

LRESULT TForm1::OnNcHitTest(int x, int y) {
    POINT pt{x, y};
    ScreenToClient(hwnd_, &pt);
    const RECT r = ui::WindowRect(hwnd_);
    return HitTestBorder(pt.x, pt.y, r.right - r.left, r.bottom - r.top);
}

// ---- IStrip --------------------------------------------------------------------------------

void TForm1::SetTimer(bool enabled, std::int32_t intervalMs) {
    KillTimer(hwnd_, kTimerId);
    // An interval of 0 (only a hand-edited settings file gives one) never fires.
    if (enabled && intervalMs > 0) {
        ::SetTimer(hwnd_, kTimerId, static_cast<UINT>(intervalMs), nullptr);
    }
}

void TForm1::KeepOnTop() {
    // Where no window manager keeps the top-most band, a window that another program raised is
    // stacked above the always-on-top strip. The strip is raised again only when no visible
    // window of its own stands above it (a tool tip still showing does), and only when the
    // z-order really changes: so close the tip, then step out of the top-most band and back in.
    // Its owned windows stay where they are: moved along, a dialog that is top-most itself
    // would carry the band's change over to the strip.
    tooltip_.Pop();
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
    // What stands over the strip's place now stands under it: the next tick need not raise it.
    CameOver();
}

void TForm1::ApplyGeometry(const TSettings& s) {
    // Saved for another screen or typed in by hand: the strip and its × stay within reach.
    // Sized no smaller than the layout makes it, so the fitted strip does not grow off the edge.
    ui::PlaceReachable(hwnd_, s.Form1Left, s.Form1Top, std::max(s.Form1Width, kMinStripSize),
                       std::max(s.Form1Height, kMinStripSize));
    // At start-up the dialogs are created just after the strip shows: they take their places
    // then.
    if (Form2 == nullptr || Form2->Handle() == nullptr) {
        dialogGeometry_ = s;
        return;
    }
    ApplyDialogGeometry(s);
}

void TForm1::ApplyDialogGeometry(const TSettings& s) {
    Form2->SetPosition(s.Form2Left, s.Form2Top);
    Form3->SetPosition(s.Form3Left, s.Form3Top);
    Form4->SetGeometry(s.Form4Left, s.Form4Top, s.Form4Width, s.Form4Height, s.Col0Width,
                       s.Col1Width);
}

void TForm1::CollectGeometry(TSettings& s) {
    const RECT r = ui::WindowRect(hwnd_);
    s.Form1Left = r.left;
    s.Form1Top = r.top;
    s.Form1Width = r.right - r.left;
    s.Form1Height = r.bottom - r.top;
    Form2->GetPosition(s.Form2Left, s.Form2Top);
    Form3->GetPosition(s.Form3Left, s.Form3Top);
    Form4->GetGeometry(s.Form4Left, s.Form4Top, s.Form4Width, s.Form4Height, s.Col0Width,
                       s.Col1Width);
}

void TForm1::ErrorBox(const char* textUtf8, const std::string& detailSjis) {
    ui::ErrorBox(hwnd_, platform::Utf8ToWide(textUtf8) + platform::SjisToWide(detailSjis));
}

bool TForm1::ConfirmYesNo(const char* textUtf8) {
    return ui::ConfirmYesNo(hwnd_, platform::Utf8ToWide(textUtf8));
}

void TForm1::InfoOk(const char* textUtf8) {
    ui::InfoOk(hwnd_, platform::Utf8ToWide(textUtf8));
}

bool TForm1::RetryCancel(const char* textUtf8, const std::string& detailSjis) {
    return ui::RetryCancel(hwnd_,
                           platform::Utf8ToWide(textUtf8) + platform::SjisToWide(detailSjis));
}

bool TForm1::AskTagName(std::string& name) {
    KeepOnTop();
    Form3->TagNameText = name;
    Form3->ShowModal(hwnd_);
    if (!Form3->Accepted) {
        return false;
    }
    name = Form3->TagNameText;
    return true;
}

bool TForm1::EditTagList() {
    KeepOnTop();
    Form4->ShowModal(hwnd_);
    return Form4->Accepted;
}

bool TForm1::EditSettings(TSettingsValues& values) {
    KeepOnTop();
    Form2->Values = values;
    Form2->ShowModal(hwnd_);
    if (!Form2->Accepted) {
        return false;
    }
    values = Form2->Values;
    return true;
}

void TForm1::CloseStrip() {
    // Posted: the close must not run inside the handler that asked for it.
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}
