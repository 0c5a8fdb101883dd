// The windows' designed geometry in pixels: where each window opens, how big it is made, and
// where its controls sit. Every window reads its places here; the settings file's defaults are
// the same numbers (a unit test holds the two together).
#pragma once

#include "tags/Settings.h"

namespace geometry {

struct Box {
    int left, top, width, height;
};

// ---- The strip (TForm1): a frameless window, so its outer size is its client size ----
inline constexpr Box kStrip{192, 107, 256, 82};
inline constexpr int kStripMinSize = kMinForm1Size;  // neither side smaller
inline constexpr int kStripButtonCount = 7;
inline constexpr int kStripButtonSize = 22;  // square
inline constexpr int kStripMargin = 3;       // around and between the buttons

// ---- Settings dialog (TForm2): sizes of the client area ----
namespace settings {
inline constexpr Box kWindow{192, 110, 293, 166};
inline constexpr Box kPanel{0, 0, 293, 129};
inline constexpr Box kDirectionGroup{8, 3, 273, 41};
// The four radio buttons share the group's width less 10 pixels of frame, from 8 pixels into
// it and 14 below its top.
inline constexpr int kRadioInsetLeft = 8;
inline constexpr int kRadioInsetTop = 14;
inline constexpr int kRadioFrame = 10;
inline constexpr int kRadioHeight = 23;
inline constexpr Box kIntervalLabel{8, 60, 182, 13};
inline constexpr Box kIntervalEdit{208, 56, 57, 21};
inline constexpr Box kIntervalUnit{272, 64, 13, 13};
inline constexpr Box kKeyWaitLabel{8, 84, 182, 13};
inline constexpr Box kKeyWaitEdit{208, 80, 57, 21};
inline constexpr Box kKeyWaitUnit{272, 88, 13, 13};
inline constexpr Box kMaximize{8, 104, 217, 17};
inline constexpr Box kOk{80, 136, 75, 25};
inline constexpr Box kCancel{176, 136, 115, 25};

// Radio button i (0..count-1) of count in the direction group.
constexpr Box Radio(int i, int count) {
    const int width = (kDirectionGroup.width - kRadioFrame) / count;
    return {kDirectionGroup.left + kRadioInsetLeft + i * width,
            kDirectionGroup.top + kRadioInsetTop, width, kRadioHeight};
}
}  // namespace settings

// ---- Tag name dialog (TForm3): sizes of the client area ----
namespace tagname {
inline constexpr Box kWindow{237, 131, 239, 93};
inline constexpr Box kPanel{0, 0, 239, 57};
inline constexpr Box kPrompt{8, 8, 156, 13};
inline constexpr Box kName{24, 24, 209, 21};
inline constexpr Box kOk{24, 64, 75, 25};
inline constexpr Box kCancel{120, 64, 115, 25};
}  // namespace tagname

// ---- Tag list editor (TForm4): the outer size; the grid fills what the panel along the top
// and the status bar along the bottom leave ----
namespace taglist {
inline constexpr Box kWindow{192, 107, 415, 281};
inline constexpr int kPanelHeight = 33;
inline constexpr int kStatusHeight = 19;
inline constexpr int kButtonTop = 4;
inline constexpr int kButtonHeight = 25;
struct ButtonSpan {
    int left, width;
};
// ▲ ▼ 挿入 削除 ＯＫ キャンセル
inline constexpr ButtonSpan kButtons[6] = {{4, 29},   {36, 29},  {68, 37},
                                           {108, 37}, {164, 69}, {236, 109}};
inline constexpr int kCol0Width = 81;
inline constexpr int kCol1Width = 296;
}  // namespace taglist

}  // namespace geometry
