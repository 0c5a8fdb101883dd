// The tab strip's tool tip: one tool for the whole tab strip, whose text the strip gives when
// the tip is about to show, for the tab under the pointer. Nothing is added per tab, so a tag
// list of thousands costs the tabs' rebuild nothing.
#pragma once

#include "app/Ui.h"

namespace ui {

// Hands the tab strip's own mouse messages to the tip (its buttons are tools of their own),
// and closes the tip when the pointer passes from one tab to another, so that the tip asks
// for the text of the tab now under it.
class TabTipRelay : public SubclassedControl {
  public:
    void SetTip(HWND tip) { tip_ = tip; }
    // The tab under the pointer, -1 when none.
    static int TabAtCursor(HWND tab);

  private:
    void OnMouseMove(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void Relay(UINT msg, int x, int y);

    HWND tip_ = nullptr;
    int hovered_ = -1;
};

}  // namespace ui
