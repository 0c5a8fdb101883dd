// Shift-JIS <-> UTF-16, always with code page 932 named, so the program is right whatever
// the system's ANSI code page is.
#pragma once

#include <string>

namespace platform {

std::wstring SjisToWide(const std::string& sjis);
std::string WideToSjis(const std::wstring& wide);
// UTF-8 (the source's own texts) to UTF-16.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

}  // namespace platform
