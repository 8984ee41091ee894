#pragma once

#include <string>
#include <string_view>

namespace platform {

// How much a log line matters. `standard` is what a line says by default; `error` marks failures.
enum class LogLevel { standard, error };

struct SystemLogOptions {
    // Each line also goes to standard error (syslog's LOG_PERROR).
    bool copyToStandardError = false;
};

// The application's log: syslog(3) under one identity, each line prefixed with its category
// ("app: Relaunch asked"); on systemd systems the lines reach the journal. syslog's identity is
// process-wide, so a process keeps exactly one of these.
class SystemLog {
  public:
    explicit SystemLog(std::string identity, SystemLogOptions options = {});
    ~SystemLog();
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;

    // Safe from any thread. The message is written as it stands: "%" in it is not a directive.
    void write(std::string_view category, LogLevel level, std::string_view message) const;

  private:
    // syslog keeps a pointer to the identity rather than a copy.
    const std::string identity_;
};

} // namespace platform
