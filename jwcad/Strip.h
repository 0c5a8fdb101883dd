// What the Jw_cad commands need of the main strip's window: its tabs, its timer, its layout,
// its dialogs and its message boxes. TForm1 implements it over Win32; native tests fake it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tags/Settings.h"

class IStrip {
  public:
    virtual ~IStrip() = default;

    // Timer1. The interval is in milliseconds; an interval of 0 never fires.
    virtual void SetTimer(bool enabled, std::int32_t intervalMs) = 0;
    // A one-shot timer apart from Timer1: JwcadStrip::RescanDue runs once, delayMs from now.
    virtual void ArmRescan(std::uint32_t delayMs) = 0;

    // TabControl1. Changes made here never run TabControl1Change.
    virtual void ClearTabs() = 0;
    virtual void AddTab(const std::string& captionSjis) = 0;
    // Replaces every tab by these, as ClearTabs and one AddTab each would. A window can do it
    // in one go, and skip it when the tabs are already these.
    virtual void SetTabs(const std::vector<std::string>& captionsSjis) {
        ClearTabs();
        for (const std::string& caption : captionsSjis) {
            AddTab(caption);
        }
    }

    // Lays the tabs and buttons out for the direction (which it may correct to 0) and the
    // window's current size; returns the direction in force.
    virtual std::int32_t ArrangeControls(std::int32_t tagDirection) = 0;
    // Puts the strip back on top of every ordinary window after another was activated.
    virtual void KeepOnTop() = 0;

    // Window geometry of all four windows and the editor's columns.
    virtual void ApplyGeometry(const TSettings& s) = 0;
    virtual void CollectGeometry(TSettings& s) = 0;

    // Message boxes. Texts are UTF-8; detailSjis (a path, say) follows the text directly.
    virtual void ErrorBox(const char* textUtf8, const std::string& detailSjis = {}) = 0;
    // "確認" with はい(&Y) / いいえ(&N): true only when the answer was はい(&Y).
    virtual bool ConfirmYesNo(const char* textUtf8) = 0;
    // "確認" with one OK button.
    virtual void InfoOk(const char* textUtf8) = 0;
    // "エラー" with 再試行(&R) / キャンセル(&N): true only when the answer was 再試行(&R).
    virtual bool RetryCancel(const char* textUtf8, const std::string& detailSjis) = 0;

    // The dialogs, shown modally. Each answers its Accepted.
    // Tag name: name in is the proposal; on true it holds the name typed (Shift-JIS).
    virtual bool AskTagName(std::string& name) = 0;
    // Tag list editor: commits into TagLists itself when accepted.
    virtual bool EditTagList() = 0;
    // Settings: values in; on true the values chosen.
    virtual bool EditSettings(TSettingsValues& values) = 0;

    // Closes the main window (FormClose runs from the window's close handling).
    virtual void CloseStrip() = 0;
};
