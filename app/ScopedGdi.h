// Owners of the window system's drawing resources: each releases what it took in its
// destructor, in the order the documentation asks for, whatever way the scope is left.
#pragma once

#include <algorithm>

#include "platform/win32/WinInclude.h"

namespace ui {

// GetDC / ReleaseDC.
class ScopedGetDC {
  public:
    explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;

    operator HDC() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// SelectObject, and the previous object selected back.
class ScopedSelectObject {
  public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelectObject() {
        if (old_ && old_ != HGDI_ERROR) {
            SelectObject(dc_, old_);
        }
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A pen, brush, bitmap or font of our own, deleted with the owner. Deselect it first: declare
// the ScopedSelectObject after this, so it ends before.
template <typename Handle>
class ScopedGdiObject {
  public:
    explicit ScopedGdiObject(Handle object) : object_(object) {}
    ~ScopedGdiObject() {
        if (object_) {
            DeleteObject(object_);
        }
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

    Handle Get() const { return object_; }
    operator Handle() const { return object_; }

  private:
    Handle object_;
};

// BeginPaint / EndPaint.
class ScopedPaint {
  public:
    explicit ScopedPaint(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    ~ScopedPaint() { EndPaint(window_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    operator HDC() const { return dc_; }
    const RECT& Dirty() const { return ps_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// A paint drawn off screen and copied to the window at once, so scrolling and sizing do not
// flicker: BeginPaint, a memory device context with a bitmap of the client's size, and in the
// destructor the copy, then everything released and EndPaint. Draw on the object's DC.
class BufferedPaint {
  public:
    explicit BufferedPaint(HWND window)
        : paint_(window),
          client_(ClientOf(window)),
          dc_(CreateCompatibleDC(paint_)),
          bitmap_(CreateCompatibleBitmap(paint_, std::max<LONG>(client_.right, 1),
                                         std::max<LONG>(client_.bottom, 1))),
          selected_(dc_, bitmap_) {}
    ~BufferedPaint() {
        BitBlt(paint_, 0, 0, client_.right, client_.bottom, dc_, 0, 0, SRCCOPY);
        // selected_, bitmap_, then the memory DC and the paint end, in this order.
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;

    operator HDC() const { return dc_.Get(); }
    const RECT& Client() const { return client_; }

  private:
    // The memory device context, deleted (not released) at the end.
    class MemoryDC {
      public:
        explicit MemoryDC(HDC dc) : dc_(dc) {}
        ~MemoryDC() {
            if (dc_) {
                DeleteDC(dc_);
            }
        }
        MemoryDC(const MemoryDC&) = delete;
        MemoryDC& operator=(const MemoryDC&) = delete;
        HDC Get() const { return dc_; }
        operator HDC() const { return dc_; }

      private:
        HDC dc_;
    };

    static RECT ClientOf(HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        return r;
    }

    ScopedPaint paint_;
    RECT client_;
    MemoryDC dc_;
    ScopedGdiObject<HBITMAP> bitmap_;
    ScopedSelectObject selected_;
};

}  // namespace ui
