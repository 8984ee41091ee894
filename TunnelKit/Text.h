#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// UTF-8 text helpers with Unicode's character classes. Every string in the engine is UTF-8.
namespace tunnelkit::text {

using CodePointTest = bool (*)(char32_t);

// Tab and the Unicode space separators (category Zs); never line breaks.
bool isBlank(char32_t c);
// The White_Space property: blanks, tabs, line breaks, no-break spaces and the like.
bool isWhitespace(char32_t c);
// Tab, every separator (Zs, Zl, Zp) and the line breaks LF, VT, FF, CR, NEL.
bool isBlankOrLineBreak(char32_t c);
// Categories Cc and Cf (line feed, carriage return and tab included).
bool isControl(char32_t c);
// LF, CR, VT, FF, NEL, LINE SEPARATOR, PARAGRAPH SEPARATOR.
bool isLineBreak(char32_t c);

bool isWellFormedUTF8(std::string_view bytes);
// Decodes UTF-8; an ill-formed sequence yields U+FFFD for each maximal subpart.
std::u32string toCodePoints(std::string_view utf8);
std::string fromCodePoints(std::u32string_view codePoints);
void appendCodePoint(std::string& out, char32_t c);

bool containsAny(std::string_view utf8, CodePointTest test);

std::string trim(std::string_view utf8, CodePointTest test);
inline std::string trimBlanks(std::string_view s) {
    return trim(s, isBlank);
}
inline std::string trimBlanksAndLineBreaks(std::string_view s) {
    return trim(s, isBlankOrLineBreak);
}

// Full Unicode lower-casing, independent of the locale.
std::string lowercased(std::string_view utf8);
// ASCII-only lower-casing, for protocol words.
std::string asciiLowercased(std::string_view s);

std::vector<std::string> split(std::string_view s, char separator);
bool startsWith(std::string_view s, std::string_view prefix);
bool endsWith(std::string_view s, std::string_view suffix);

// The localized standard comparison (file-name order): letter case ignored, digit runs by value.
// Returns <0, 0 or >0.
int localizedStandardCompare(std::string_view a, std::string_view b);
// Bytes whose plain comparison is that order: computed once per text, for sorting many.
std::string localizedStandardSortKey(std::string_view text);

} // namespace tunnelkit::text
