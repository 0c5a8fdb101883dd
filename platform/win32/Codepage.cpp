#include "platform/win32/Codepage.h"

#include <windows.h>

namespace platform {

namespace {

constexpr UINT kShiftJis = 932;

std::wstring ToWide(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n,
                        nullptr, nullptr);
    return bytes;
}

}  // namespace

std::wstring SjisToWide(const std::string& sjis) {
    return ToWide(kShiftJis, sjis);
}

std::wstring Utf8ToWide(const std::string& utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string WideToSjis(const std::wstring& wide) {
    return FromWide(kShiftJis, wide);
}

std::string WideToUtf8(const std::wstring& wide) {
    return FromWide(CP_UTF8, wide);
}

}  // namespace platform
