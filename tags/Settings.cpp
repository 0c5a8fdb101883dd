#include "tags/Settings.h"

#include <algorithm>

#include "platform/Platform.h"
#include "tags/Func_.h"
#include "tags/TextLines.h"

bool LoadSettings(const std::string& path, TSettings& s) {
    std::string bytes;
    switch (textlines::ReadWaiting(path, bytes)) {
        case textlines::FileRead::Missing:
            return true;
        case textlines::FileRead::Unreadable:
            return false;
        case textlines::FileRead::Read:
            break;
    }
    // Each value is applied as soon as its line is read, so a failure keeps what came before.
    textlines::LineReader in(bytes);
    const auto next = [&in] { return StrToIntZero(in.Next()); };
    try {
        s.Values.TagDirection = next();
        s.Values.SearchInterval = next();
        s.Values.KeyWait = StrToFloatZero(in.Next());
        s.Values.MaximizeOnSend = next();
        s.Form1Left = next();
        s.Form1Top = next();
        s.Form1Width = next();
        s.Form1Height = next();
        s.Form1Width = std::max(s.Form1Width, kMinForm1Size);
        s.Form1Height = std::max(s.Form1Height, kMinForm1Size);
        s.Form2Left = next();
        s.Form2Top = next();
        s.Form3Left = next();
        s.Form3Top = next();
        s.Form4Left = next();
        s.Form4Top = next();
        s.Form4Width = next();
        s.Form4Height = next();
        s.Col0Width = next();
        s.Col1Width = next();
    } catch (const FloatOverflowError&) {
        // A key wait beyond any double ends the load like an unreadable line.
    }
    return true;
}

bool SaveSettings(const std::string& path, const TSettings& s) {
    std::string out;
    const auto add = [&out](std::int32_t value) {
        textlines::AppendLine(out, std::to_string(value));
    };
    add(s.Values.TagDirection);
    add(s.Values.SearchInterval);
    textlines::AppendLine(out, FloatToText(s.Values.KeyWait));
    for (std::int32_t value :
         {s.Values.MaximizeOnSend, s.Form1Left, s.Form1Top, s.Form1Width, s.Form1Height,
          s.Form2Left, s.Form2Top, s.Form3Left, s.Form3Top, s.Form4Left, s.Form4Top, s.Form4Width,
          s.Form4Height, s.Col0Width, s.Col1Width}) {
        add(value);
    }
    // Written beside the file and swapped in whole, so a failed save keeps the previous one.
    platform::Platform& p = platform::Current();
    const std::string temp = textlines::TempPathFor(path);
    if (!textlines::WriteWholeFile(temp, out)) {
        return false;
    }
    if (!textlines::RenameWaiting(temp, path, true)) {
        p.DeleteFile(temp);
        return false;
    }
    return true;
}
