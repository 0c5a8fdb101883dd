// The main strip's behaviour: base drawing tracking, tag jump, and the Jw_cad commands of its
// buttons. The window (TForm1) forwards its events here and lends its tabs, timer, layout,
// dialogs and message boxes through IStrip.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "jwcad/Strip.h"
#include "tags/Settings.h"
#include "tags/TagFile.h"

class JwcadStrip {
  public:
    explicit JwcadStrip(IStrip& strip) : strip_(strip) {}

    // Base drawing tracking.
    void Start();
    void Tick();
    void TakeUpBaseDrawing();
    // sessionEnding: Windows is logging off or shutting down and will not wait for an answer,
    // so a save that fails is not offered again.
    void Finish(bool sessionEnding = false);
    // The window changed size: lay out again without letting a tick into a running command.
    void Resize();

    // Tag jump: the user selected tab index.
    // True when the tag's drawing was brought to the front or started: the tab strip keeps
    // the new selection only then.
    bool JumpTo(int index);

    // The buttons. A click while another command waits is ignored.
    void Quit();           // ×: close, deferred until a running command has ended
    void OpenSettings();   // 設
    void Print();          // Ｐ
    void Import();         // 取
    void EditTags();       // 編
    void BatchPrint();     // 印
    void CloseLaunched();  // 閉

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

    // The four settings from their owners (this strip and the key runner), and back to them.
    TSettingsValues Settings() const;
    void TakeSettings(const TSettingsValues& values);
    void RebuildTabs();
    void ArrangeControls();
    // Stores the list in hand, when it has tags, with every list an earlier save could not
    // store; false when they all stay unsaved, to be tried again at the next save, and
    // blocker_ names the file that stood in the way.
    bool SaveTags();
    // When the base drawing's stored block could not be read, reads it again and puts it in
    // front of the tags added meanwhile. Called at every moment that may read the file: a
    // tick that keeps the base drawing, a command, a save.
    void ResolveBaseBlock();
    // The same for a list kept unsaved; false while its block still cannot be read.
    bool ResolveBlock(TTagBlock& block);
    // Says once per run that the tag file is in a form this program neither reads nor writes.
    void TellForeign(TBlockLookup lookup);
    // Takes the unsaved list stored under key into hand; false when there is none.
    bool TakeUpUnsaved(const std::string& key);
    // Puts the block stored under key in front of the tags in hand; false when there is none.
    bool TakeUpStoredBlock(const std::string& key);
    // The drawing's key is about to change: a block saved under the old one that was not there
    // before is retracted.
    void RetractSavedBlock();
    // A Jw_cad started for tag i whose window had not shown when the launch gave up: takes its
    // window up now when it has one. Answers whether that start is still the tag's (it has a
    // window now, or is still starting), so that no second Jw_cad is started on the drawing.
    bool TakeUpLateStart(int i);
    // Gives a tag's new window the base window's placement (not the base tab's own).
    void PlaceLikeBase(int i, platform::WindowHandle w);

    IStrip& strip_;
    int busy_ = 0;
    bool tracking_ = false;  // Start has run and Finish has not
    bool closePending_ = false;
    bool closing_ = false;  // Finish is saving: a second close must not cut its waits
    bool toldForeign_ = false;
    bool settingsUnread_ = false;  // the settings file was there but could not be read
    // The base drawing's block could not be read when it was taken up: the tags in hand are
    // only those added since, and nothing may be saved over the stored block until it is read.
    bool baseUnknown_ = false;
    std::string blocker_;
    // The key the list in hand was last saved under, whether a block stood under it when the
    // drawing was taken up, and blocks saved this run that an import showed to be under the
    // wrong key: they go at the next save, so the file is as if they had never been saved.
    std::string savedKey_;
    bool baseKeyHadBlock_ = false;
    std::vector<std::string> retracted_;
    // The key the base drawing was looked up under, and the path it names when that is the
    // path of an existing file in a folder Jw_cad named.
    std::string baseKey_;
    std::string basePath_;
    // Lists of earlier base drawings that a save could not store, the newest first.
    std::vector<TTagBlock> unsaved_;
    // Jw_cad processes started for a jump text that had shown no window by the launch's end.
    std::map<std::string, platform::ProcessId> lateStarts_;
};
