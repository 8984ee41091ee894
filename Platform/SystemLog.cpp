#include "Platform/SystemLog.h"

#include <syslog.h>

namespace platform {

namespace {

int priority(LogLevel level) {
    switch (level) {
    case LogLevel::error:
        return LOG_ERR;
    case LogLevel::standard:
        break;
    }
    return LOG_NOTICE;
}

} // namespace

SystemLog::SystemLog(std::string identity, SystemLogOptions options) : identity_(std::move(identity)) {
    ::openlog(identity_.c_str(), LOG_PID | (options.copyToStandardError ? LOG_PERROR : 0), LOG_USER);
}

SystemLog::~SystemLog() {
    ::closelog();
}

void SystemLog::write(std::string_view category, LogLevel level, std::string_view message) const {
    const std::string line = std::string(category) + ": " + std::string(message);
    ::syslog(priority(level), "%s", line.c_str());
}

} // namespace platform
