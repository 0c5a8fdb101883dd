// Starting Jw_cad for a tag and remembering it: the one way a tab jump and a batch print start
// a tag's drawing. A Jw_cad that shows no window before the launch gives up is remembered, so a
// later click takes its window up instead of starting the drawing a second time.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "jwcad/Launch.h"
#include "platform/Platform.h"

// The base window's placement, when it is a live window whose placement can be read: what a
// tag's new window is given, read once per command.
std::optional<platform::WindowPlacement> BasePlacement();

class Launcher {
  public:
    // Starts Jw_cad for tag i with the command line, in the folder of the tag's drawing. Its
    // window becomes the tag's Handle; one that has not shown yet is remembered for later.
    // Nothing is recorded when the list changed during the launch (i is then past its end).
    TLaunchResult LaunchTag(int i, const std::string& commandLine);
    // A Jw_cad started for tag i whose window had not shown when the launch gave up: takes its
    // window up now when it has one. Answers whether that start is still the tag's (it has a
    // window now, or is still starting), so that no second Jw_cad is started on the drawing.
    bool TakeUpLateStart(int i);

  private:
    // Jw_cad processes started for a jump text that had shown no window by the launch's end.
    std::map<std::string, platform::ProcessId> lateStarts_;
};
