// The settings file: 18 lines, each one number, known by its position.
#pragma once

#include <cstdint>
#include <string>

// The four settings of the strip, in the units their owners keep them in: the strip's tab
// direction (0 top, 1 bottom, 2 left, 3 right) and re-scan interval, the key runner's wait
// before each key group and its maximise switch (1 maximises). The settings file, the exchange
// with the settings dialog and the dialog's checks all carry them as this one record; the
// defaults are the values in force when there is no settings file.
struct TSettingsValues {
    std::int32_t TagDirection = 0;
    std::int32_t SearchInterval = 5000;  // milliseconds
    double KeyWait = 0.5;                // seconds
    std::int32_t MaximizeOnSend = 0;
    bool operator==(const TSettingsValues&) const = default;
};

// What the file keeps: the four settings and the windows' geometry, with the values in force
// when there is no file. The windows apply the geometry; the program hands the four settings
// to their owners.
struct TSettings {
    TSettingsValues Values;
    std::int32_t Form1Left = 192, Form1Top = 107, Form1Width = 256, Form1Height = 82;
    std::int32_t Form2Left = 192, Form2Top = 110;
    std::int32_t Form3Left = 237, Form3Top = 131;
    std::int32_t Form4Left = 192, Form4Top = 107, Form4Width = 415, Form4Height = 281;
    std::int32_t Col0Width = 81, Col1Width = 296;
    bool operator==(const TSettings&) const = default;
};

// The strip's least width and height, here and in the window that sizes it: it must stay big
// enough to be grabbed again.
constexpr std::int32_t kMinForm1Size = 40;

// Reads the file over s line by line; stops at the first failure, keeping what it applied.
// False when the file is there but could not be read (another program held it beyond the
// wait): the values in it are unknown, and must not be saved over with the defaults.
bool LoadSettings(const std::string& path, TSettings& s);
// Writes the file; a failed save leaves the previous file in place. True on success.
bool SaveSettings(const std::string& path, const TSettings& s);
