// The main strip's behaviour: it follows the base drawing, and runs the commands of its tabs and
// buttons. The window (TForm1) forwards its events here and lends its tabs, timer, layout,
// dialogs and message boxes through IStrip. What becomes of the tags is TagKeeper's; starting
// Jw_cad for a tag is Launcher's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jwcad/Drop.h"
#include "jwcad/Launcher.h"
#include "jwcad/Strip.h"
#include "jwcad/TagKeeper.h"
#include "tags/Settings.h"

class JwcadStrip {
  public:
    explicit JwcadStrip(IStrip& strip) : strip_(strip) {}

    // Following the base drawing (JwcadStrip.cpp).
    // The strip is shown: files, settings, layout, the first base drawing, the timer.
    void Start();
    // Timer1: scan again; keep the base drawing, or save it and take up the next.
    void Tick();
    void TakeUpBaseDrawing();
    // The strip closes: the tags and the settings saved. sessionEnding: Windows is logging off
    // or shutting down and will not wait for an answer, so a save that fails is not offered
    // again.
    void Finish(bool sessionEnding = false);
    // The window changed size: lay out again without letting a tick into a running command.
    void Resize();

    // Following at once (Follow.cpp): each decides as Tick does, only sooner, and never while
    // a command runs or with an interval of 0.
    // The desktop announced a window created, shown, hidden, renamed, destroyed or brought to
    // the front: one scan for a whole burst, a moment later.
    void WindowsChanged();
    // The one-shot timer that IStrip::ArmRescan set has fired.
    void RescanDue();
    // The pointer is over the strip (any part of it): coming onto it rescans.
    void PointerOver();

    // The commands (Commands.cpp). A click while another command waits is ignored.
    // Tab index was selected. True when the tag's drawing was brought to the front or started:
    // the tab strip keeps the new selection only then.
    bool JumpTo(int index);
    void Quit();           // ×: close, deferred until a running command has ended
    void OpenSettings();   // 設
    void Print();          // Ｐ
    void Import();         // 取
    void EditTags();       // 編
    void BatchPrint();     // 印
    void CloseLaunched();  // 閉
    // Drawings dropped onto the strip (Drop.cpp) become tags of the base drawing, in the order
    // dropped; refused in an error box while a command runs or without a base drawing.
    void DropFiles(const std::vector<TDroppedFile>& files);

    // True while a command runs (its waits pump messages, so the window sees clicks).
    bool Busy() const { return busy_ > 0; }
    // The window asks before closing: false defers the close until the command has ended.
    bool CanCloseNow();

    std::string DatFile, TagFile, TbkFile;
    std::int32_t TagDirection = 0;
    std::int32_t SearchInterval = 5000;

  private:
    // Keeps Timer1 stopped from the first step of a command to its last, however commands and
    // resizes nest, and re-arms it with the interval in force when the outermost one ends.
    class Suspension {
      public:
        // keepOnTop: put the strip back on top at the end (after a command that may have
        // activated Jw_cad); not after a tick or a resize, where it would only close a tool tip
        // the user is reading.
        explicit Suspension(JwcadStrip& s, bool keepOnTop = true);
        ~Suspension();
        Suspension(const Suspension&) = delete;
        Suspension& operator=(const Suspension&) = delete;

      private:
        JwcadStrip& s_;
        const bool keepOnTop_;
    };

    // What a command needs before it does anything at all.
    enum class TNeed {
        Nothing,     // only that no other command runs
        Drawing,     // a base drawing
        Tags,        // a base drawing with tags
        TaggedPath,  // a base drawing with tags whose own path is known
    };
    bool Ready(TNeed need) const;

    // Whether the strip follows Jw_cad: started, not closing, and an interval other than 0.
    bool Following() const;
    // Scans now unless a scan ran a moment ago: what the user is about to act on is current.
    void RescanIfStale();
    // Arms the one-shot timer for a rescan that is wanted, no sooner than the spacing allows.
    void ScheduleRescan();
    // Tick has just scanned.
    void NoteScan();

    // The four settings from their owners (this strip and the key runner), and back to them.
    TSettingsValues Settings() const;
    void TakeSettings(const TSettingsValues& values);
    void ArrangeControls();
    // Import's first half: Jw_cad's copy of the drawing's information, or nothing when it
    // left none (an error box has said why where the user must hear it).
    std::optional<std::string> CopyDrawingInfo();
    // Batch print's window for tag i: the tag's own, a late start's, or a new Jw_cad placed
    // like the base window; 0, with the tag listed in missed, when it has none to print in.
    platform::WindowHandle PrintWindowFor(int i, const std::string& prefix,
                                          const std::optional<platform::WindowPlacement>& placement,
                                          std::string& missed);

    IStrip& strip_;
    TagKeeper keeper_{strip_, TagFile, TbkFile};
    Launcher launcher_;
    int busy_ = 0;
    bool tracking_ = false;  // Start has run and Finish has not
    bool closePending_ = false;
    bool closing_ = false;         // Finish is saving: a second close must not cut its waits
    bool settingsUnread_ = false;  // the settings file was there but could not be read
    // Following at once: when the last scan ran, a rescan asked for and not yet run, the
    // one-shot timer armed for it, and when the pointer was last seen over the strip.
    std::optional<std::uint32_t> lastScan_;
    bool rescanWanted_ = false;
    bool rescanArmed_ = false;
    std::optional<std::uint32_t> pointerSeen_;
};
