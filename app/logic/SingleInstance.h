// One strip per copy of the program: the name of the mutex that a running copy holds.
#pragma once

#include <string>

// "Local\Quillbox-" and 16 hex digits of a hash of the executable's upper-cased path
// (Shift-JIS): the same for every start of one copy, whatever case the path was typed in, and
// another for a copy in another folder, which keeps its own settings and tags and runs beside.
std::string InstanceMutexName(const std::string& exePathSjis);
