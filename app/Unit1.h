// The main strip: a borderless, always-on-top window holding the tab strip and seven buttons.
// It forwards its events to JwcadStrip and lends it tabs, timer, layout, dialogs and boxes.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/TabTips.h"
#include "app/Ui.h"
#include "app/logic/Layout.h"
#include "app/logic/OnScreen.h"
#include "app/logic/OnTop.h"
#include "jwcad/JwcadStrip.h"
#include "jwcad/Strip.h"

class TForm1 : public IStrip, public ui::Window {
  public:
    // Creates the window and its controls, hidden, at the designed place and size; false when
    // the window system refused.
    bool Create();
    // Starts tracking (FormShow) and shows the strip.
    void Show();
    // Once the dialogs exist: the buttons' hints, and the dialogs' places from the settings.
    void CompleteStart();
    // Handle comes from ui::Window.

    // IStrip
    void SetTimer(bool enabled, std::int32_t intervalMs) override;
    void ArmRescan(std::uint32_t delayMs) override;
    void ClearTabs() override;
    void AddTab(const std::string& captionSjis) override;
    void SetTabs(const std::vector<std::string>& captionsSjis) override;
    std::int32_t ArrangeControls(std::int32_t tagDirection) override;
    void KeepOnTop() override;
    void ApplyGeometry(const TSettings& s) override;
    void CollectGeometry(TSettings& s) override;
    void ErrorBox(const char* textUtf8, const std::string& detailSjis) override;
    bool ConfirmYesNo(const char* textUtf8) override;
    void InfoOk(const char* textUtf8) override;
    bool RetryCancel(const char* textUtf8, const std::string& detailSjis) override;
    bool AskTagName(std::string& name) override;
    bool EditTagList() override;
    bool EditSettings(TSettingsValues& values) override;
    void CloseStrip() override;

    // The strip's events by their fixed names, each one line into the controller.
    void FormShow();
    void FormResize();
    void Timer1Timer();
    void FormClose(bool sessionEnding);
    bool TabControl1Change(int index);
    void Button1Click();  // ×
    void Button2Click();  // 設
    void Button3Click();  // Ｐ
    void Button4Click();  // 取
    void Button5Click();  // 編
    void Button6Click();  // 印
    void Button7Click();  // 閉

  private:
    bool OnCreate() override;
    void OnSize(int width, int height) override;
    void OnTimer(UINT_PTR id) override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(const NMHDR& header) override;
    void OnClose() override;
    void OnDestroy() override;
    LRESULT OnNcHitTest(int x, int y) override;
    void OnDisplayChange() override;
    void OnSettingChange(UINT action) override;
    void OnEndSession(bool ending) override;
    // Drawings dropped onto the strip, and the tabs' tips (Unit1Drop.cpp).
    void OnDropFiles(HDROP drop) override;
    void AddTabTips();
    LRESULT OnTipNeeded(const NMHDR& header);
    // Saves the tags and the settings, once.
    void Close(bool sessionEnding = false);
    int MeasureAutoTabHeight() const;
    void CreateHints();
    void ApplyDialogGeometry(const TSettings& s);
    void SetTabStyle(TabPosition position);
    // Never narrower or lower than the tabs and buttons need to be reached.
    void KeepMinimumSize();
    void PlaceButtons(const TStripLayout& layout);
    // After a change of screen, the strip and an open dialog back within reach.
    void FitToScreen();
    // Whether another program's window came over the strip since the last look.
    bool CameOver();
    // After a scan: the strip back on top when a window came over it.
    void RaiseIfCameOver();

    void InsertTab(std::size_t index, const std::string& captionSjis);

    // Following at once (Unit1Follow.cpp): the desktop's window events and the pointer.
    void WatchWindows();
    void UnwatchWindows();
    static void CALLBACK OnWindowEvent(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object,
                                       LONG child, DWORD thread, DWORD time);
    LRESULT OnSetCursor(UINT hitTest) override;
    // The rescan asked for by ArmRescan has come due.
    void RescanDue();
    static constexpr UINT_PTR kRescanTimerId = 3;

    ui::TabStrip TabControl1;
    ui::CommandForwarder tabForwarder_;     // forwards the buttons' clicks from the tab strip
    std::vector<std::string> tabCaptions_;  // what TabControl1 shows, in order
    std::array<HWND, 7> buttons_{};         // Button1 ... Button7
    ui::ToolTip tooltip_;
    ui::TabTipRelay tabTips_;
    std::wstring tipText_;                     // what the tip shows, kept while it shows
    std::optional<TSettings> dialogGeometry_;  // read before the dialogs existed
    int autoTabHeight_ = 0;  // what the tab strip takes on its own, measured at creation
    int tabHeight_ = 0;      // the height ArrangeControls gave the tabs
    int selectedTab_ = 0;    // the selection before a click, to go back to when nothing jumped
    bool Arranging = false;
    // False until the start has placed the strip where the settings put it: the size changes of
    // its creation and placing lay out nothing, and the start lays the controls out once.
    bool placed_ = false;
    bool closed_ = false;
    ScreenWatch screenWatch_;
    CoverWatch coverWatch_;
    // What the last look over the strip saw, and whether a window event came since.
    HWND lookedForeground_ = nullptr;
    RECT lookedStrip_{};
    bool desktopChanged_ = true;
    bool raiseAgain_ = false;  // a window came over at the last tick
    std::vector<HWINEVENTHOOK> windowHooks_;
    JwcadStrip logic_{*this};
};

extern TForm1* Form1;
