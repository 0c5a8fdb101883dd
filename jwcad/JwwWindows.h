// Finding Jw_cad on the desktop: the drawing windows, the window of a process just started,
// and the folder Jw_cad last worked in.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

// The file name a Jw_cad drawing window's title shows, or nothing when the title is not one
// of a saved drawing (no " - jw_win", "無題", or no ".JWW" extension).
std::optional<std::string> JwwFileNameFromTitle(const std::string& title);

// Lists every visible, unowned top-level Jw_cad drawing window into JwwHandles, topmost first.
void ScanJwwWindows();
// The base drawing's window, entry 0 of the last scan; 0 when there is none.
platform::WindowHandle BaseWindow();
bool EnumJwwProc(platform::WindowHandle w, long param);

// The first visible, unowned top-level window of process pid, or 0 (left in ProcessWindow).
extern platform::WindowHandle ProcessWindow;
bool EnumProcessProc(platform::WindowHandle w, platform::ProcessId pid);
platform::WindowHandle FindProcessWindow(platform::ProcessId pid);

// Jw_cad's last folder with one "\" appended; "\" alone when Jw_cad has stored none, and
// empty when the value cannot be read.
std::string GetJwcadFolder();

// Path pieces, Shift-JIS aware: a "\" that is the second byte of a character never counts.
// Where the extension (the last "." of the file name) starts; npos when there is none.
std::size_t ExtensionStart(const std::string& path);
// The path with its extension replaced, or extension appended when it has none.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
std::string FolderPart(const std::string& path);    // up to and including the last "\" or ":"
std::string FileNamePart(const std::string& path);  // after the last "\" or ":"
