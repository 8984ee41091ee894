#pragma once

#include "TunnelKit/FileIO.h"
#include "TunnelKit/SSHLog.h"

#include <optional>
#include <string>

namespace tunnelkit {

// Appends a connection's log lines to a file the user chose, one "DATE TEXT" line per log line.
// A file that can't be opened is simply not written; after a failed write nothing more is.
class LogFileWriter {
  public:
    // path: absolute, with any "~" already expanded. Missing folders and the file are created;
    // an existing file is never truncated.
    explicit LogFileWriter(const std::string& path);

    // No error while nothing is open. A failed write closes the file and hands back its error.
    std::optional<FileError> write(const SSHLogLine& line);

    bool isOpen() const { return static_cast<bool>(handle_); }

    // The date as ISO 8601 UTC text, a blank, the text and a line feed.
    static std::string formattedLine(const SSHLogLine& line);

  private:
    std::string path_;
    UniqueFd handle_;
};

} // namespace tunnelkit
