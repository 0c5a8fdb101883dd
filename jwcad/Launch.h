// Starting Jw_cad on a drawing and putting windows where the base window stands.
#pragma once

#include <string>

#include "platform/Platform.h"

struct TLaunchResult {
    bool Created = false;               // a process was created
    platform::WindowHandle Window = 0;  // its drawing window, 0 when none showed up
    platform::ProcessId Pid = 0;        // the process, when created
};

// Starts Jw_cad with a command line in a working folder, waits (bounded) until it is idle
// and finds its window.
TLaunchResult LaunchJwcad(const std::string& commandLine, const std::string& folder);

// Whether Windows can open a path at all: at most 259 characters (MAX_PATH with its end), a
// double-byte character counting one.
bool PathFitsPlatform(const std::string& pathSjis);

// Whether Jw_cad can be started on a jump text at all: the command line of the program's path
// (quoted, up to MAX_PATH), a blank and the jump text must stay within Windows' 32,767
// characters.
bool JumpFitsCommandLine(const std::string& jumpSjis);

// "<program> <jump>", the program quoted when it holds a blank so that a path such as
// C:\Program Files\... can never start C:\Program.exe; the fixed fallback when none is known.
std::string JwcadCommandPrefix(const std::string& program);

// Gives window `to` the placement read from the base window; falls back to moving, sizing
// and showing when the platform refuses a placement for another program's window. Nothing
// for a window whose program takes no messages: the placement would wait for it.
void ApplyPlacement(platform::WindowHandle to, const platform::WindowPlacement& placement);
