// The window layer's base under the real window system: when a window object hears of its
// window, who owns the window and the subclasses, where messages go, and what the dialog base
// gets from the dialog manager.
#include <gtest/gtest.h>

#include <vector>

#include "app/Controls.h"
#include "app/ModalDialog.h"
#include "app/ScopedGdi.h"
#include "app/Ui.h"

namespace {

constexpr wchar_t kProbeClass[] = L"QuillboxProbeWindow";
constexpr int kFirstId = 7;
constexpr int kSecondId = 9;

class Probe : public ui::Window {
  public:
    bool refuse = false;
    HWND handleInCreate = nullptr;
    bool childBeforeSize = true;
    int sizes = 0;
    int destroys = 0;
    std::vector<int> commands;

    bool Create() {
        static const bool registered =
            ui::RegisterWindowClass(kProbeClass, WindowProc, GetSysColorBrush(COLOR_BTNFACE));
        return registered &&
               CreateHandle(0, kProbeClass, L"probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100);
    }
    HWND Child() const { return child_; }

  protected:
    bool OnCreate() override {
        handleInCreate = hwnd_;
        child_ = ui::AddControl(hwnd_, L"BUTTON", L"b", BS_PUSHBUTTON, 0, 0, 20, 20, kFirstId);
        return !refuse;
    }
    void OnSize(int, int) override {
        ++sizes;
        childBeforeSize = childBeforeSize && child_ != nullptr;
    }
    void OnCommand(int id, int, HWND) override {
        static constexpr ui::CommandEntry<Probe> kCommands[] = {
            {kFirstId, &Probe::First},
            {kSecondId, &Probe::Second},
        };
        ui::RunCommand(*this, kCommands, id);
    }
    void OnDestroy() override { ++destroys; }

  private:
    void First() { commands.push_back(kFirstId); }
    void Second() { commands.push_back(kSecondId); }

    HWND child_ = nullptr;
};

class ProbeDialog : public ui::ModalDialog {
  public:
    ProbeDialog() : ModalDialog(IDOK, IDCANCEL, IDOK) {}
    bool Create(const ui::DialogPlace& place) {
        return CreateDialogBox(L"probe dialog", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, place);
    }
    void ShowModal() { RunModalOver(nullptr); }
    HWND ok = nullptr;
    bool refuseOk = false;
    int oks = 0;

  protected:
    bool OnCreate() override {
        ok = ui::AddControl(hwnd_, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 30, 40, 75, 25,
                            IDOK);
        return true;
    }
    HWND FormShow() override { return ok; }
    RECT PanelRect() const override { return {0, 0, 10, 10}; }
    bool OnOk() override {
        ++oks;
        return !refuseOk;
    }
};

int subclassCalls = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    ++subclassCalls;
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

TEST(WindowBase, CreationReachesTheObjectWithItsHandleAndChildrenComeFirst) {
    Probe probe;
    ASSERT_TRUE(probe.Create());
    EXPECT_NE(probe.Handle(), nullptr);
    EXPECT_EQ(probe.handleInCreate, probe.Handle()) << "WM_CREATE did not reach the object";
    EXPECT_EQ(GetParent(probe.Child()), probe.Handle());
    SetWindowPos(probe.Handle(), nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(probe.sizes, 0);
    EXPECT_TRUE(probe.childBeforeSize) << "a WM_SIZE came before the children existed";
}

TEST(WindowBase, ARefusedCreationLeavesNoWindow) {
    Probe probe;
    probe.refuse = true;
    EXPECT_FALSE(probe.Create());
    EXPECT_EQ(probe.Handle(), nullptr);
}

TEST(WindowBase, TheObjectOwnsItsWindowAndForgetsADestroyedOne) {
    HWND window = nullptr;
    {
        Probe probe;
        ASSERT_TRUE(probe.Create());
        window = probe.Handle();
    }
    EXPECT_FALSE(IsWindow(window)) << "the window outlived its object";

    Probe probe;
    ASSERT_TRUE(probe.Create());
    window = probe.Handle();
    DestroyWindow(window);
    EXPECT_EQ(probe.Handle(), nullptr);
    EXPECT_EQ(probe.destroys, 1);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), 0);
}

TEST(WindowBase, CommandsGoByTheTableAndOtherMessagesGetTheDefault) {
    Probe probe;
    ASSERT_TRUE(probe.Create());
    for (int id : {kSecondId, 42, kFirstId}) {
        SendMessageW(probe.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    EXPECT_EQ(probe.commands, (std::vector<int>{kSecondId, kFirstId}));
    // WM_SETTEXT and WM_GETTEXT have no handler: the default keeps the text.
    SetWindowTextW(probe.Handle(), L"名前");
    EXPECT_EQ(ui::GetText(probe.Handle()), L"名前");
}

TEST(WindowBase, ASubclassGoesWithItsOwner) {
    Probe probe;
    ASSERT_TRUE(probe.Create());
    {
        ui::Subclass subclass;
        ASSERT_TRUE(subclass.Attach(probe.Child(), CountingProc, 0));
        subclassCalls = 0;
        SendMessageW(probe.Child(), WM_NULL, 0, 0);
        EXPECT_EQ(subclassCalls, 1);
    }
    subclassCalls = 0;
    SendMessageW(probe.Child(), WM_NULL, 0, 0);
    EXPECT_EQ(subclassCalls, 0);
    // Two with the same procedure on one window (a tab strip's command forwarder and its tips'
    // relay): each is its own, and goes alone.
    ui::Subclass first;
    ASSERT_TRUE(first.Attach(probe.Child(), CountingProc, 0));
    {
        ui::Subclass second;
        ASSERT_TRUE(second.Attach(probe.Child(), CountingProc, 0));
        subclassCalls = 0;
        SendMessageW(probe.Child(), WM_NULL, 0, 0);
        EXPECT_EQ(subclassCalls, 2);
    }
    subclassCalls = 0;
    SendMessageW(probe.Child(), WM_NULL, 0, 0);
    EXPECT_EQ(subclassCalls, 1);
}

TEST(DialogBase, ARealDialogSizedInPixelsWithItsDefaultButton) {
    struct Case {
        ui::DialogPlace place;
        bool client;
    };
    for (const Case& c :
         {Case{{40, 50, 150, 80, true}, true}, Case{{60, 70, 250, 180, false}, false}}) {
        ProbeDialog dialog;
        ASSERT_TRUE(dialog.Create(c.place));
        HWND h = dialog.Handle();
        wchar_t cls[16] = {};
        GetClassNameW(h, cls, 16);
        EXPECT_STREQ(cls, L"#32770");
        EXPECT_FALSE(IsWindowVisible(h)) << "created shown";
        RECT r{};
        if (c.client) {
            GetClientRect(h, &r);
        } else {
            GetWindowRect(h, &r);
            OffsetRect(&r, -r.left, -r.top);
        }
        EXPECT_EQ(r.right, c.place.width);
        EXPECT_EQ(r.bottom, c.place.height);
        GetWindowRect(h, &r);
        EXPECT_EQ(r.left, c.place.left);
        EXPECT_EQ(r.top, c.place.top);
        EXPECT_EQ(SendMessageW(h, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
        POINT at{0, 0};
        GetWindowRect(dialog.ok, &r);
        ClientToScreen(h, &at);
        EXPECT_EQ(r.left - at.x, 30);
        EXPECT_EQ(r.top - at.y, 40);
        EXPECT_EQ(ui::GetText(h), L"probe dialog");
    }
}

TEST(DialogBase, AcceptedOnlyByAnOkThatTheDialogAgreesTo) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Create({40, 50, 150, 80, true}));
    HWND h = dialog.Handle();
    struct Case {
        bool refuseOk;
        std::vector<UINT> posted;  // WM_COMMAND ids; 0 stands for the close box
        bool accepted;
        int oks;
    };
    const Case cases[] = {
        {false, {IDOK}, true, 1},
        {false, {IDCANCEL}, false, 0},  // Escape and the Cancel button
        {false, {0}, false, 0},
        {true, {IDOK, IDCANCEL}, false, 1},  // a refused OK keeps the dialog open
    };
    for (const Case& c : cases) {
        dialog.refuseOk = c.refuseOk;
        dialog.oks = 0;
        dialog.Accepted = !c.accepted;  // whatever the last showing left, cleared when shown
        for (UINT id : c.posted) {
            PostMessageW(h, id == 0 ? WM_CLOSE : WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
        dialog.ShowModal();
        EXPECT_EQ(dialog.Accepted, c.accepted);
        EXPECT_EQ(dialog.oks, c.oks);
        EXPECT_FALSE(IsWindowVisible(h));
    }
}

TEST(ScopedGdi, SelectionsAndDeviceContextsAreGivenBack) {
    ui::ScopedGetDC screen(nullptr);
    ASSERT_NE(static_cast<HDC>(screen), nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ before = GetCurrentObject(memory, OBJ_FONT);
    {
        ui::ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
        ui::ScopedSelectObject font(memory, ui::Font());
        ui::ScopedSelectObject selected(memory, brush);
        EXPECT_EQ(GetCurrentObject(memory, OBJ_FONT), ui::Font());
        EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(memory, OBJ_FONT), before);
    DeleteDC(memory);
}

}  // namespace
