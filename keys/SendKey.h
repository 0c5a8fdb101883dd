// Plays keystroke scripts into a Jw_cad window, and the clipboard operations of the import.
// Holds the module's globals: the window table of the last scan, the key wait, the target
// window and the maximise switch.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "keys/JwwHandleField.h"
#include "platform/Platform.h"

extern std::vector<TJwwHandleField> JwwHandles;
extern std::int32_t JwwCount;
// The window table changes only through these, so JwwCount is always its size.
void ClearJwwHandles();
void AddJwwHandle(TJwwHandleField window);
// Entry 0, the base drawing's window, when the table has one.
void SetJwwBase(const TJwwHandleField& window);
extern double KeyWait;  // seconds
extern platform::WindowHandle TargetWindow;
extern std::int32_t MaximizeOnSend;  // 1: show the target maximised

// The clipboard stayed unavailable; what() is the message for the user. A fixed text, so no
// std::runtime_error: its string constructor alone links in a second std::string (~25 KB).
class ClipboardError : public std::exception {
  public:
    const char* what() const noexcept override;
};

// How a script aimed at TargetWindow ended.
enum class TSendOutcome {
    Sent,         // played to its end, or to a group that cannot be sent (such as "{}")
    NoTarget,     // TargetWindow was 0 or no window any more: nothing was done
    NotReached,   // the target never held the front: not one key was typed
    Interrupted,  // another window took the front after some groups: the rest was not sent
};

// Plays a script into whatever window has the focus. canSend, when given, is asked before
// every group that would be sent; false stops the script there.
void PlayKeys(const std::string& script, const std::function<bool()>& canSend = {});
// Shows a window (maximised when MaximizeOnSend is 1), restores it when minimised and brings
// it to the front; true once it, or a window of its program, has held the front for a moment
// (bounded).
bool ActivateWindow(platform::WindowHandle w);
// Activates TargetWindow and plays the script into it; nothing when it is 0 or gone. Keys
// are only ever typed while the target's program is in front.
TSendOutcome SendKeysToTarget(const std::string& script);
void ClearClipboardText();        // throws ClipboardError
std::string ReadClipboardText();  // throws ClipboardError
