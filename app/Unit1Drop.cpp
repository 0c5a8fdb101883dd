// What the strip does beyond its buttons: it takes drawings dropped onto it, and tells on a
// tab's tool tip where that tag leads.
#include <vector>

#include "app/Unit1.h"
#include "jwcad/TagTip.h"
#include "platform/win32/Codepage.h"

namespace {

// Item i of a drop, read wide and kept in Shift-JIS only when Shift-JIS holds it unchanged.
TDroppedFile DroppedFile(HDROP drop, UINT i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    wide.resize(DragQueryFileW(drop, i, wide.data(), length + 1));
    TDroppedFile f;
    f.Path = platform::WideToSjis(wide);
    f.Representable = platform::SjisToWide(f.Path) == wide;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    f.Folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return f;
}

}  // namespace

void TForm1::OnDropFiles(HDROP drop) {
    std::vector<TDroppedFile> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        files.push_back(DroppedFile(drop, i));
    }
    // Released before the dialogs: the program that dropped them waits for nothing of ours.
    DragFinish(drop);
    logic_.DropFiles(files);
}

void TForm1::AddTabTips() {
    tooltip_.AddCallbackTool(hwnd_, TabControl1.Handle());
    tabTips_.SetTip(tooltip_.Handle());
    tabTips_.Take(TabControl1.Handle());
}

LRESULT TForm1::OnTipNeeded(const NMHDR& header) {
    // The notification is the tip's to read back: the text goes into it.
    auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
    tipText_.clear();
    if (const std::optional<TTagTip> tip =
            TagTip(ui::TabTipRelay::TabAtCursor(TabControl1.Handle()))) {
        tipText_ = platform::SjisToWide(tip->JumpSjis);
        if (tip->NoteUtf8 != nullptr) {
            if (!tipText_.empty()) {
                tipText_ += L"\u3000";  // apart from the jump text's own blanks
            }
            tipText_ += platform::Utf8ToWide(tip->NoteUtf8);
        }
    }
    // Empty over the strip's free surface: the tip then does not show.
    info.lpszText = tipText_.data();
    return 0;
}
