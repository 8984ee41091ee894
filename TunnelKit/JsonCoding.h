#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/Result.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Strict JSON reading: every value's type is checked, so a number where a string is due, 1.5 for
// an integer or `true` for a number fails with a message that names where it happened.
namespace tunnelkit {

struct DecodingError {
    enum class Kind { keyNotFound, valueNotFound, typeMismatch, dataCorrupted };
    Kind kind = Kind::dataCorrupted;
    std::string path; // e.g. tunnels[0].forwards[1].listen; empty at the top
    std::string description;

    std::string message() const;
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

    [[noreturn]] void fail(DecodingError::Kind kind, std::string description) const;

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
auto decode(std::string_view bytes, Body body) -> Result<decltype(body(std::declval<Reader>())), DecodingError> {
    auto document = detail::parse(bytes);
    if (!document) {
        return Failure(document.error());
    }
    try {
        return body(Reader(*document, ""));
    } catch (const detail::Raised& raised) {
        return Failure(raised.error);
    }
}

// Pretty-printed (two-space indent), keys sorted, "/" written escaped as "\/", invalid UTF-8
// replaced rather than refused.
std::string encodePretty(const nlohmann::json& value);

} // namespace json
} // namespace tunnelkit
