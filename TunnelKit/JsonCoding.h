#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/Result.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Strict JSON reading: every value's type is checked, so a number where a string is due, 1.5 for
// an integer or `true` for a number fails with an error that names where it happened. No exception
// of the JSON library ever leaves `decode`.
namespace tunnelkit {

// Why stored or imported JSON could not be read: what was wrong, and where. The application words it.
struct DecodingError {
    // The four families of decoding errors.
    enum class Kind { keyNotFound, valueNotFound, typeMismatch, dataCorrupted };
    enum class Problem {
        notJSON,            // the bytes are not JSON text
        missingKey,         // a required key is absent (the path names it)
        nullValue,          // a required value is null
        wrongType,          // for instance a number where a text is due
        endpointKeyCount,   // an endpoint with both "tcp" and "socket", or neither
        numberOutOfRange,   // a number too large for the field, or for any number at all
        notWholeNumber,     // 1.5 where a whole number is due
        invalidUUID,        // a text that is no identifier
        invalidDate,        // a text that is no ISO 8601 date of the form 2026-01-31T09:15:00Z
        unknownForwardKind, // a forward kind other than the four known ones
        notAnArchive,       // valid JSON, but the format word is not "burrowlight"
    };

    Problem problem = Problem::notJSON;
    std::string codingPath; // e.g. tunnels[0].forwards[1].listen; empty for the whole document

    Kind kind() const;
    bool operator==(const DecodingError&) const = default;
};

namespace json {

// A position in a JSON document. Accessors raise a decoding failure that `decode` turns into a
// DecodingError; nothing escapes `decode` as an exception.
class Reader {
  public:
    Reader(const nlohmann::json& value, std::string path) : value_(&value), path_(std::move(path)) {}

    Reader required(std::string_view key) const;
    std::optional<Reader> optional(std::string_view key) const; // missing and null are both absent
    bool contains(std::string_view key) const;

    std::string string() const;
    int64_t integer() const;
    int intValue() const;
    bool boolean() const;
    Uuid uuid() const;
    Date date() const;
    std::vector<Reader> array() const;
    std::vector<std::string> strings() const;

    const nlohmann::json& raw() const { return *value_; }
    const std::string& path() const { return path_; }

    [[noreturn]] void fail(DecodingError::Problem problem) const;

  private:
    void expectObject() const;
    const nlohmann::json* value_;
    std::string path_;
};

namespace detail {
struct Raised {
    DecodingError error;
};
Result<nlohmann::json, DecodingError> parse(std::string_view bytes);
} // namespace detail

// Parses the bytes and hands the top-level reader to `body`, catching every decoding failure.
template <class Body>
auto decode(std::string_view bytes, Body body)
    -> Result<decltype(body(std::declval<Reader>())), DecodingError> {
    auto document = detail::parse(bytes);
    if (!document) {
        return Failure(document.error());
    }
    try {
        return body(Reader(*document, ""));
    } catch (const detail::Raised& raised) {
        return Failure(raised.error);
    } catch (const std::exception&) {
        // A library's own refusal deep inside a value; the checks above should leave none.
        return Failure(DecodingError{DecodingError::Problem::notJSON, ""});
    }
}

// Writes JSON text straight from the values, in the stored forms' shape: pretty-printed with a
// two-space indent, "/" escaped as "\/", everything else escaped as the JSON library escapes it, and
// invalid UTF-8 replaced rather than refused. Members come out in the order given, so callers give
// them sorted.
class PrettyWriter {
  public:
    explicit PrettyWriter(size_t expectedSize = 0) { text_.reserve(expectedSize); }

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    void string(std::string_view text);
    void integer(int64_t number);
    void boolean(bool value);

    std::string take() && { return std::move(text_); }

  private:
    void beforeValue();
    void beginItem();
    void close(char bracket);
    void appendQuoted(std::string_view text);
    void newLine(size_t depth);

    std::string text_;
    // One entry per open object or array: whether it has an item yet.
    std::vector<bool> hasItems_;
    bool afterKey_ = false;
};

} // namespace json
} // namespace tunnelkit
