// Shift-JIS character rules shared by the whole program: the core, the real platform and the
// fake desktop the unit tests run on, so that none of them can disagree on where a character
// ends. A lead byte is 0x80-0x9F or 0xE0-0xFD; the byte after it belongs to it whatever its
// value, even "\" or an ASCII letter.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

// The first byte of a double-byte character.
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFD);
}

// Bytes of the character that begins at byte i: 2 for a lead byte, else 1. A lead byte that is
// the text's last byte still counts as 2, as the platform's own string functions count it.
inline std::size_t CharWidthAt(const std::string& text, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
}

// Whether byte at begins a character (scanning from the first byte, the only way to know).
inline bool IsCharStart(const std::string& text, std::size_t at) {
    std::size_t i = 0;
    while (i < at) {
        i += CharWidthAt(text, i);
    }
    return i == at;
}

// The longest start of the text of at most maxBytes bytes that splits no double-byte character.
inline std::string CutSjis(const std::string& text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = CharWidthAt(text, end);
        if (end + width > maxBytes) {
            break;
        }
        end += width;
    }
    return text.substr(0, std::min(end, text.size()));
}

// One byte upper-cased as code page 932 upper-cases a single-byte character: a-z only.
constexpr char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Upper-cases as the Windows byte-string upper-casing does under code page 932: ASCII a-z
// only, and never the second byte of a double-byte character.
inline std::string UpperSjis(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); i += CharWidthAt(out, i)) {
        out[i] = UpperAscii(out[i]);
    }
    return out;
}
