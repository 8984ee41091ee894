#include "TunnelKit/Text.h"

#include <memory>
#include <unicode/coll.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace tunnelkit::text {

bool isBlank(char32_t c) {
    return c == U'\t' || u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR;
}

bool isWhitespace(char32_t c) {
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}

bool isLineBreak(char32_t c) {
    return c == U'\n' || c == U'\r' || c == U'\v' || c == U'\f' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isBlankOrLineBreak(char32_t c) {
    if (c == U'\t' || isLineBreak(c)) {
        return true;
    }
    const auto type = u_charType(static_cast<UChar32>(c));
    return type == U_SPACE_SEPARATOR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR;
}

bool isControl(char32_t c) {
    const auto type = u_charType(static_cast<UChar32>(c));
    return type == U_CONTROL_CHAR || type == U_FORMAT_CHAR;
}

bool isWellFormedUTF8(std::string_view bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    int32_t i = 0;
    while (i < length) {
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        UChar32 c;
        U8_NEXT(data, i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

std::u32string toCodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    int32_t i = 0;
    while (i < length) {
        UChar32 c;
        U8_NEXT_OR_FFFD(bytes, i, length, c);
        out.push_back(static_cast<char32_t>(c));
    }
    return out;
}

void appendCodePoint(std::string& out, char32_t c) {
    uint8_t buffer[4];
    int32_t length = 0;
    UBool failed = false;
    U8_APPEND(buffer, length, 4, static_cast<UChar32>(c), failed);
    if (failed) {
        appendCodePoint(out, 0xFFFD);
        return;
    }
    out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length));
}

std::string fromCodePoints(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (char32_t c : codePoints) {
        appendCodePoint(out, c);
    }
    return out;
}

bool containsAny(std::string_view utf8, CodePointTest test) {
    for (char32_t c : toCodePoints(utf8)) {
        if (test(c)) {
            return true;
        }
    }
    return false;
}

std::string trim(std::string_view utf8, CodePointTest test) {
    const auto points = toCodePoints(utf8);
    size_t first = 0;
    size_t last = points.size();
    while (first < last && test(points[first])) {
        ++first;
    }
    while (last > first && test(points[last - 1])) {
        --last;
    }
    return fromCodePoints(std::u32string_view(points).substr(first, last - first));
}

std::string lowercased(std::string_view utf8) {
    auto unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    unicode.toLower(icu::Locale::getRoot());
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

std::string asciiLowercased(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::vector<std::string> split(std::string_view s, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true) {
        const auto end = s.find(separator, start);
        pieces.emplace_back(
            s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

namespace {

// ICU collators must not be shared between threads; each thread keeps its own.
icu::Collator* standardCollator() {
    thread_local std::unique_ptr<icu::Collator> collator = [] {
        // The C locale maps to en_US_POSIX, whose collation orders by code point; use the root
        // order there so that case is still ignored.
        auto locale = icu::Locale::getDefault();
        if (std::string_view(locale.getVariant()) == "POSIX") {
            locale = icu::Locale::getRoot();
        }
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(locale, status));
        if (U_FAILURE(status) || !made) {
            status = U_ZERO_ERROR;
            made.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        }
        if (made) {
            status = U_ZERO_ERROR;
            made->setStrength(icu::Collator::SECONDARY);
            made->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
        }
        return made;
    }();
    return collator.get();
}

} // namespace

int localizedStandardCompare(std::string_view a, std::string_view b) {
    auto* collator = standardCollator();
    if (!collator) {
        return a.compare(b);
    }
    UErrorCode status = U_ZERO_ERROR;
    const auto result =
        collator->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                              icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    if (U_FAILURE(status)) {
        return a.compare(b);
    }
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

std::string localizedStandardSortKey(std::string_view text) {
    auto* collator = standardCollator();
    if (!collator) {
        return std::string(text);
    }
    const auto unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string key(static_cast<size_t>(collator->getSortKey(unicode, nullptr, 0)), '\0');
    collator->getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    // Without its closing zero byte, so that a key compares as the bytes it holds.
    if (!key.empty()) {
        key.pop_back();
    }
    return key;
}

} // namespace tunnelkit::text
