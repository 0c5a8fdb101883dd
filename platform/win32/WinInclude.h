// <windows.h> for files that also see platform::Platform. Windows maps GetWindowText,
// DeleteFile, CreateFile and FindExecutable to their A/W twins with macros, which would rename
// the Platform members of the same names in whichever file includes both; those four macros
// are dropped here, so call the W functions by their full names.
#pragma once

#include <windows.h>
// shellapi.h defines FindExecutable again, so it comes before the #undefs too.
#include <shellapi.h>

#undef GetWindowText
#undef DeleteFile
#undef CreateFile
#undef FindExecutable
