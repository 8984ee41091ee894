#include "TunnelKit/JsonCoding.h"

#include <cmath>
#include <limits>

namespace tunnelkit {

std::string DecodingError::message() const {
    const std::string where = path.empty() ? "" : " at " + path;
    switch (kind) {
    case Kind::keyNotFound:
        return "Missing key" + where + ": " + description;
    case Kind::valueNotFound:
        return "Missing value" + where + ": " + description;
    case Kind::typeMismatch:
        return "Wrong type" + where + ": " + description;
    case Kind::dataCorrupted:
        break;
    }
    return "Invalid data" + where + ": " + description;
}

namespace json {

namespace {

std::string typeName(const nlohmann::json& value) {
    if (value.is_number_float()) {
        return "a fractional number";
    }
    if (value.is_number()) {
        return "a number";
    }
    switch (value.type()) {
    case nlohmann::json::value_t::null:
        return "null";
    case nlohmann::json::value_t::object:
        return "an object";
    case nlohmann::json::value_t::array:
        return "a list";
    case nlohmann::json::value_t::string:
        return "a text";
    case nlohmann::json::value_t::boolean:
        return "true or false";
    default:
        return "an unknown value";
    }
}

std::string childPath(const std::string& parent, std::string_view key) {
    return parent.empty() ? std::string(key) : parent + "." + std::string(key);
}

} // namespace

void Reader::fail(DecodingError::Kind kind, std::string description) const {
    throw detail::Raised{DecodingError{kind, path_, std::move(description)}};
}

void Reader::expectObject() const {
    if (!value_->is_object()) {
        fail(DecodingError::Kind::typeMismatch, "expected an object but found " + typeName(*value_) + ".");
    }
}

bool Reader::contains(std::string_view key) const { return value_->is_object() && value_->contains(key); }

Reader Reader::required(std::string_view key) const {
    expectObject();
    const auto found = value_->find(key);
    if (found == value_->end()) {
        fail(DecodingError::Kind::keyNotFound, "No value associated with key \"" + std::string(key) + "\".");
    }
    Reader child(*found, childPath(path_, key));
    if (found->is_null()) {
        child.fail(DecodingError::Kind::valueNotFound, "Expected a value but found null.");
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
        fail(DecodingError::Kind::typeMismatch, "expected a text but found " + typeName(*value_) + ".");
    }
    return value_->get<std::string>();
}

int64_t Reader::integer() const {
    if (value_->is_number_integer()) {
        if (value_->is_number_unsigned() &&
            value_->get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            fail(DecodingError::Kind::dataCorrupted, "The number does not fit.");
        }
        return value_->get<int64_t>();
    }
    if (value_->is_number_float()) {
        // 8.0 is a whole number written with a fraction; 8.5 is not.
        const double number = value_->get<double>();
        if (std::trunc(number) == number && std::fabs(number) < 9.0e18) {
            return static_cast<int64_t>(number);
        }
        fail(DecodingError::Kind::dataCorrupted, "The number " + value_->dump() + " is not a whole number.");
    }
    fail(DecodingError::Kind::typeMismatch, "expected a whole number but found " + typeName(*value_) + ".");
}

int Reader::intValue() const {
    const auto value = integer();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        fail(DecodingError::Kind::dataCorrupted, "The number " + std::to_string(value) + " does not fit.");
    }
    return static_cast<int>(value);
}

bool Reader::boolean() const {
    if (!value_->is_boolean()) {
        fail(DecodingError::Kind::typeMismatch, "expected true or false but found " + typeName(*value_) + ".");
    }
    return value_->get<bool>();
}

Uuid Reader::uuid() const {
    const auto text = string();
    const auto parsed = Uuid::parse(text);
    if (!parsed) {
        fail(DecodingError::Kind::dataCorrupted, "Attempted to decode a UUID from invalid text \"" + text + "\".");
    }
    return *parsed;
}

Date Reader::date() const {
    const auto text = string();
    const auto parsed = parseIsoDate(text);
    if (!parsed) {
        fail(DecodingError::Kind::dataCorrupted, "Expected date string to be ISO8601-formatted, found \"" + text + "\".");
    }
    return *parsed;
}

std::vector<Reader> Reader::array() const {
    if (!value_->is_array()) {
        fail(DecodingError::Kind::typeMismatch, "expected a list but found " + typeName(*value_) + ".");
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
    } catch (const nlohmann::json::parse_error& error) {
        return Failure(DecodingError{DecodingError::Kind::dataCorrupted, "",
                                     "The given data was not valid JSON (byte " + std::to_string(error.byte) + ")."});
    }
}

} // namespace detail

std::string encodePretty(const nlohmann::json& value) {
    const auto text = value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    // A "/" can only occur inside a string in JSON text, so escaping every one is safe.
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (c == '/') {
            out += "\\/";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace json
} // namespace tunnelkit
