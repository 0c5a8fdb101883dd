// Sends one key group ("@F", "P", "{ENTER}") as synthetic key presses and releases.
#pragma once

#include <string>

// False when a token has an empty name ("{}"); every key the group pressed is released then.
bool SendKeyGroup(const std::string& group);
