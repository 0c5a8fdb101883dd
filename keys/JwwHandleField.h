// One Jw_cad drawing window found by the window scan.
#pragma once

#include <string>

#include "platform/Platform.h"

struct TJwwHandleField {
    platform::WindowHandle Handle = 0;
    std::string FileName;  // Shift-JIS, as the title spells it
    bool operator==(const TJwwHandleField&) const = default;
};
