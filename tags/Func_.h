// Small helpers that the whole program shares: a message-pumping wait, substring cuts that
// never fail, Shift-JIS character tests, and number readers that give 0 instead of failing.
// Positions are 1-based byte positions, as the callers count them.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/Sjis.h"  // IsLeadByte, UpperSjis: the character rules everyone shares

// Waits ms milliseconds while the application keeps handling its window messages; returns
// at once while waits are cancelled.
void Delay(std::uint32_t ms);
// A close asked for in the middle of a command cancels every wait, so a hand-edited key wait of
// hours cannot keep the strip from closing: Delay returns at once and the running command sees
// WaitsCancelled() and stops. Cleared when the command has ended.
void CancelWaits(bool cancel);
bool WaitsCancelled();

std::string SafeCopy(const std::string& text, int from, int count);
std::string MbcsCopy(const std::string& text, int start, int limit, int& taken);

std::int32_t StrToIntZero(const std::string& text);

// A number too large for a double: reported apart from "not a number" (which reads as 0).
// A fixed text, so no std::overflow_error: its string constructor alone links in a second
// std::string (~25 KB).
class FloatOverflowError : public std::exception {
  public:
    const char* what() const noexcept override { return "floating point overflow"; }
};
double StrToFloatZero(const std::string& text);  // throws FloatOverflowError

// Seconds to whole milliseconds, halves going to the even neighbour (0.0025 gives 2). Every
// double has an answer: NaN gives 0, and a value beyond the 32-bit range the nearest end of it,
// since a hand-edited settings file can hold any number.
std::int32_t SecondsToMs(double seconds);

// The shortest general decimal form with up to 15 significant digits, "." as the point,
// E-notation below 0.00001 or beyond 15 integer digits: 0.5, 1, 0.25, 1E-6.
std::string FloatToText(double value);
