#include "TunnelKit/JsonCoding.h"

#include <cmath>
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

bool Reader::contains(std::string_view key) const { return value_->is_object() && value_->contains(key); }

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
