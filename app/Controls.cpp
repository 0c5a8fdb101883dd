#include "app/Controls.h"

#include <algorithm>

#include "app/ScopedGdi.h"
#include "app/Ui.h"
#include "platform/win32/Codepage.h"

namespace ui {

std::wstring GetText(HWND control) {
    int n = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    n = GetWindowTextW(control, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}

std::string GetTextSjis(HWND control) {
    return platform::WideToSjis(GetText(control));
}

void SetTextSjis(HWND control, const std::string& sjis) {
    SetWindowTextW(control, platform::SjisToWide(sjis).c_str());
}

HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int left,
                int top, int width, int height, int id, DWORD exStyle) {
    HWND control = CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    SetFont(control);
    return control;
}

HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                const geometry::Box& place, int id, DWORD exStyle) {
    return AddControl(parent, className, text, style, place.left, place.top, place.width,
                      place.height, id, exStyle);
}

HWND AddLabel(HWND parent, const wchar_t* text, const geometry::Box& place) {
    return AddLabel(parent, text, place.left, place.top, place.width, place.height);
}

namespace {

// Set on a label until it has grown to its text; a static control leaves its user data alone.
constexpr LONG_PTR kLabelToFit = 0x4C424C;  // "LBL"

BOOL CALLBACK FitLabel(HWND control, LPARAM) {
    if (GetWindowLongPtrW(control, GWLP_USERDATA) != kLabelToFit) {
        return TRUE;
    }
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    const std::wstring text = GetText(control);
    SIZE extent{};
    {
        ScopedGetDC dc(control);
        ScopedSelectObject font(dc, Font());
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT r{};
    GetClientRect(control, &r);
    if (extent.cx > r.right || extent.cy > r.bottom) {
        SetWindowPos(control, nullptr, 0, 0, std::max<int>(r.right, extent.cx),
                     std::max<int>(r.bottom, extent.cy),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

}  // namespace

HWND AddLabel(HWND parent, const wchar_t* text, int left, int top, int width, int height) {
    HWND label = AddControl(parent, L"STATIC", text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, left, top,
                            width, height);
    if (label != nullptr) {
        SetWindowLongPtrW(label, GWLP_USERDATA, kLabelToFit);
    }
    return label;
}

void FitLabels(HWND window) {
    EnumChildWindows(window, FitLabel, 0);
}

void SetFont(HWND control) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

void TabStrip::Insert(int index, const std::wstring& text) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

RECT TabStrip::ItemRect(int index) const {
    RECT r{};
    SendMessageW(hwnd_, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void ToolTip::AddWindowTool(HWND owner, HWND tool, const wchar_t* text) const {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::AddCallbackTool(HWND owner, HWND tool) const {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace ui
