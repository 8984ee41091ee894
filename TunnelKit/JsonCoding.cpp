#include "TunnelKit/JsonCoding.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

namespace tunnelkit {

DecodingError::Kind DecodingError::kind() const {
    switch (problem) {
    case Problem::missingKey:
        return Kind::keyNotFound;
    case Problem::nullValue:
        return Kind::valueNotFound;
    case Problem::wrongType:
    case Problem::endpointKeyCount:
        return Kind::typeMismatch;
    case Problem::notJSON:
    case Problem::numberOutOfRange:
    case Problem::notWholeNumber:
    case Problem::invalidUUID:
    case Problem::invalidDate:
    case Problem::unknownForwardKind:
    case Problem::notAnArchive:
        break;
    }
    return Kind::dataCorrupted;
}

namespace json {

namespace {

std::string childPath(const std::string& parent, std::string_view key) {
    return parent.empty() ? std::string(key) : parent + "." + std::string(key);
}

} // namespace

void Reader::fail(DecodingError::Problem problem) const {
    throw detail::Raised{DecodingError{problem, path_}};
}

void Reader::expectObject() const {
    if (!value_->is_object()) {
        fail(DecodingError::Problem::wrongType);
    }
}

bool Reader::contains(std::string_view key) const {
    return value_->is_object() && value_->contains(key);
}

Reader Reader::required(std::string_view key) const {
    expectObject();
    const auto found = value_->find(key);
    if (found == value_->end()) {
        Reader(*value_, childPath(path_, key)).fail(DecodingError::Problem::missingKey);
    }
    Reader child(*found, childPath(path_, key));
    if (found->is_null()) {
        child.fail(DecodingError::Problem::nullValue);
    }
    return child;
}

std::optional<Reader> Reader::optional(std::string_view key) const {
    expectObject();
    const auto found = value_->find(key);
    if (found == value_->end() || found->is_null()) {
        return std::nullopt;
    }
    return Reader(*found, childPath(path_, key));
}

std::string Reader::string() const {
    if (!value_->is_string()) {
        fail(DecodingError::Problem::wrongType);
    }
    return value_->get<std::string>();
}

int64_t Reader::integer() const {
    if (value_->is_number_integer()) {
        if (value_->is_number_unsigned() &&
            value_->get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            fail(DecodingError::Problem::numberOutOfRange);
        }
        return value_->get<int64_t>();
    }
    if (value_->is_number_float()) {
        // 8.0 is a whole number written with a fraction; 8.5 is not.
        const double number = value_->get<double>();
        if (std::trunc(number) != number) {
            fail(DecodingError::Problem::notWholeNumber);
        }
        if (std::fabs(number) >= 9.0e18) {
            fail(DecodingError::Problem::numberOutOfRange);
        }
        return static_cast<int64_t>(number);
    }
    fail(DecodingError::Problem::wrongType);
}

int Reader::intValue() const {
    const auto value = integer();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        fail(DecodingError::Problem::numberOutOfRange);
    }
    return static_cast<int>(value);
}

bool Reader::boolean() const {
    if (!value_->is_boolean()) {
        fail(DecodingError::Problem::wrongType);
    }
    return value_->get<bool>();
}

Uuid Reader::uuid() const {
    const auto text = string();
    const auto parsed = Uuid::parse(text);
    if (!parsed) {
        fail(DecodingError::Problem::invalidUUID);
    }
    return *parsed;
}

Date Reader::date() const {
    const auto text = string();
    const auto parsed = parseIsoDate(text);
    if (!parsed) {
        fail(DecodingError::Problem::invalidDate);
    }
    return *parsed;
}

std::vector<Reader> Reader::array() const {
    if (!value_->is_array()) {
        fail(DecodingError::Problem::wrongType);
    }
    std::vector<Reader> items;
    items.reserve(value_->size());
    for (size_t i = 0; i < value_->size(); ++i) {
        items.emplace_back((*value_)[i], path_ + "[" + std::to_string(i) + "]");
    }
    return items;
}

std::vector<std::string> Reader::strings() const {
    std::vector<std::string> out;
    for (const auto& item : array()) {
        out.push_back(item.string());
    }
    return out;
}

namespace detail {

Result<nlohmann::json, DecodingError> parse(std::string_view bytes) {
    try {
        return nlohmann::json::parse(bytes.begin(), bytes.end());
    } catch (const nlohmann::json::out_of_range&) {
        // 1e400: valid JSON text, but no double holds it.
        return Failure(DecodingError{DecodingError::Problem::numberOutOfRange, ""});
    } catch (const std::exception&) {
        return Failure(DecodingError{DecodingError::Problem::notJSON, ""});
    }
}

} // namespace detail

void PrettyWriter::newLine(size_t depth) {
    text_ += '\n';
    text_.append(depth * 2, ' ');
}

void PrettyWriter::beginItem() {
    if (hasItems_.back()) {
        text_ += ',';
    }
    hasItems_.back() = true;
    newLine(hasItems_.size());
}

void PrettyWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
    } else if (!hasItems_.empty()) {
        beginItem();
    }
}

void PrettyWriter::close(char bracket) {
    const bool hadItems = hasItems_.back();
    hasItems_.pop_back();
    if (hadItems) {
        newLine(hasItems_.size());
    }
    text_ += bracket;
}

void PrettyWriter::beginObject() {
    beforeValue();
    text_ += '{';
    hasItems_.push_back(false);
}

void PrettyWriter::endObject() {
    close('}');
}

void PrettyWriter::beginArray() {
    beforeValue();
    text_ += '[';
    hasItems_.push_back(false);
}

void PrettyWriter::endArray() {
    close(']');
}

void PrettyWriter::key(std::string_view name) {
    beginItem();
    appendQuoted(name);
    text_ += ": ";
    afterKey_ = true;
}

void PrettyWriter::integer(int64_t number) {
    beforeValue();
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    text_.append(digits, end);
}

void PrettyWriter::boolean(bool value) {
    beforeValue();
    text_ += value ? "true" : "false";
}

namespace {

// Well-formed UTF-8 exactly as the JSON library's decoder accepts it: no overlong forms, no
// surrogates, nothing beyond U+10FFFF, no sequence cut short.
bool isValidUtf8(std::string_view text) {
    const auto* byte = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = byte + text.size();
    const auto continues = [&](const unsigned char* at, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return at < end && *at >= low && *at <= high;
    };
    while (byte < end) {
        const unsigned char lead = *byte;
        if (lead < 0x80) {
            ++byte;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            if (!continues(byte + 1)) {
                return false;
            }
            byte += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
            const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
            if (!continues(byte + 1, low, high) || !continues(byte + 2)) {
                return false;
            }
            byte += 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
            if (!continues(byte + 1, low, high) || !continues(byte + 2) || !continues(byte + 3)) {
                return false;
            }
            byte += 4;
        } else {
            return false;
        }
    }
    return true;
}

// What stands for each byte of valid UTF-8 inside a string; empty for the byte itself. Control
// characters take the library's forms (short ones where JSON has them, else lower-case \u00xx).
using EscapeTable = std::array<std::string_view, 256>;

constexpr EscapeTable makeEscapeTable() {
    constexpr std::string_view controls[32] = {
        "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
        "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
        "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
        "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
    EscapeTable table{};
    for (size_t c = 0; c < 32; ++c) {
        table[c] = controls[c];
    }
    table['"'] = "\\\"";
    table['\\'] = "\\\\";
    table['/'] = "\\/";
    return table;
}

constexpr EscapeTable escapes = makeEscapeTable();

// Invalid UTF-8 is rare (text from a file read as bytes): the library's own replacement is kept
// exactly, whatever its rules for cut and stray bytes.
std::string libraryEscaped(std::string_view text) {
    const auto quoted =
        nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string out;
    out.reserve(quoted.size() + 8);
    for (char c : quoted) {
        if (c == '/') {
            out += "\\/";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

void PrettyWriter::string(std::string_view text) {
    beforeValue();
    appendQuoted(text);
}

void PrettyWriter::appendQuoted(std::string_view text) {
    if (!isValidUtf8(text)) {
        text_ += libraryEscaped(text);
        return;
    }
    text_ += '"';
    size_t plainFrom = 0;
    for (size_t index = 0; index < text.size(); ++index) {
        const auto escape = escapes[static_cast<unsigned char>(text[index])];
        if (!escape.empty()) {
            text_.append(text, plainFrom, index - plainFrom);
            text_ += escape;
            plainFrom = index + 1;
        }
    }
    text_.append(text, plainFrom);
    text_ += '"';
}

} // namespace json
} // namespace tunnelkit
