#include "TunnelKit/Identifiers.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sys/random.h>
#include <uuid/uuid.h>

namespace tunnelkit {

namespace {

// The kernel's random bytes, fetched for many identifiers at once: libuuid reseeds its own generator
// with four system calls for every identifier, which made an import of 20,000 tunnels spend most of
// its time there. Each thread draws from its own buffer; a forked child empties the buffer it
// inherited, so that it never hands out the identifiers its parent will.
class RandomBytes {
  public:
    static void take(uint8_t* into, size_t count) {
        static const bool forksForget = [] {
            return ::pthread_atfork(nullptr, nullptr, [] { buffer.used = buffer.bytes.size(); }) == 0;
        }();
        (void)forksForget;
        if (buffer.used + count > buffer.bytes.size()) {
            buffer.refill();
        }
        std::memcpy(into, buffer.bytes.data() + buffer.used, count);
        buffer.used += count;
    }

  private:
    void refill() {
        size_t filled = 0;
        while (filled < bytes.size()) {
            const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
            if (got > 0) {
                filled += static_cast<size_t>(got);
            } else if (got < 0 && errno != EINTR) {
                // No kernel source (seccomp, an old kernel): libuuid finds one of its own.
                for (size_t at = filled; at < bytes.size(); at += sizeof(uuid_t)) {
                    uuid_t raw;
                    uuid_generate_random(raw);
                    std::memcpy(bytes.data() + at, raw, std::min(sizeof raw, bytes.size() - at));
                }
                break;
            }
        }
        used = 0;
    }

    std::array<uint8_t, 4096> bytes{};
    size_t used = bytes.size();
    static thread_local RandomBytes buffer;
};

thread_local RandomBytes RandomBytes::buffer;

} // namespace

Uuid Uuid::random() {
    std::array<uint8_t, 16> bytes;
    RandomBytes::take(bytes.data(), bytes.size());
    // Version 4, variant 10 (RFC 4122): 122 random bits.
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    char buffer[37];
    text.copy(buffer, 36);
    buffer[36] = '\0';
    uuid_t raw;
    if (uuid_parse(buffer, raw) != 0) {
        return std::nullopt;
    }
    std::array<uint8_t, 16> bytes;
    std::copy(std::begin(raw), std::end(raw), bytes.begin());
    return Uuid(bytes);
}

std::string Uuid::toString() const {
    uuid_t raw;
    std::copy(bytes_.begin(), bytes_.end(), std::begin(raw));
    char buffer[37];
    uuid_unparse_upper(raw, buffer);
    return std::string(buffer, 36);
}

Date currentDate() {
    return std::chrono::floor<Date::duration>(std::chrono::system_clock::now());
}

std::string formatIsoDate(Date date) {
    using namespace std::chrono;
    const auto wholeSeconds = floor<seconds>(date);
    const auto day = floor<days>(wholeSeconds);
    const year_month_day ymd{day};
    const hh_mm_ss time{wholeSeconds - day};
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return buffer;
}

namespace {

bool readDigits(std::string_view text, size_t at, size_t count, int& value) {
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

} // namespace

std::optional<Date> parseIsoDate(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SSZ
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    int year, month, day, hour, minute, second;
    if (!readDigits(text, 0, 4, year) || !readDigits(text, 5, 2, month) || !readDigits(text, 8, 2, day) ||
        !readDigits(text, 11, 2, hour) || !readDigits(text, 14, 2, minute) ||
        !readDigits(text, 17, 2, second)) {
        return std::nullopt;
    }
    using namespace std::chrono;
    const year_month_day ymd{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                             std::chrono::day(static_cast<unsigned>(day))};
    if (!ymd.ok() || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return Date(sys_days(ymd) + hours(hour) + minutes(minute) + seconds(second));
}

} // namespace tunnelkit
