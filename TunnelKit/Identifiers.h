#pragma once

#include <array>
#include <chrono>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tunnelkit {

// A random (version 4) identifier, written in upper case and read in any case.
class Uuid {
  public:
    Uuid() = default;
    explicit Uuid(const std::array<uint8_t, 16>& bytes) : bytes_(bytes) {}

    static Uuid random();
    static std::optional<Uuid> parse(std::string_view text);

    std::string toString() const;
    const std::array<uint8_t, 16>& bytes() const { return bytes_; }

    auto operator<=>(const Uuid&) const = default;

  private:
    std::array<uint8_t, 16> bytes_{};
};

// Microseconds in 64 bits: every moment of the years 0001 to 9999 that a stored date can name, and
// far beyond, without overflow. (The system clock's own nanoseconds end in 2262.)
using Date = std::chrono::sys_time<std::chrono::microseconds>;

Date currentDate();

// ISO 8601 internet date-time in UTC, whole seconds, "Z" designator (2026-01-31T09:15:00Z); the
// year always with four digits.
std::string formatIsoDate(Date date);
// Accepts only that exact form: a fraction of a second or another zone is refused.
std::optional<Date> parseIsoDate(std::string_view text);

} // namespace tunnelkit

template <> struct std::hash<tunnelkit::Uuid> {
    size_t operator()(const tunnelkit::Uuid& id) const noexcept {
        size_t h = 0;
        for (auto b : id.bytes()) {
            h = h * 131 + b;
        }
        return h;
    }
};
