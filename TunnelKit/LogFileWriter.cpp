#include "TunnelKit/LogFileWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tunnelkit {

namespace {

// The folders and the file get the user's default permissions (the umask decides).
constexpr mode_t defaultFolderMode = 0777;
constexpr mode_t defaultFileMode = 0666;

} // namespace

LogFileWriter::LogFileWriter(const std::string& path) : path_(path) {
    (void)createDirectories(parentDirectory(path), defaultFolderMode);
    // Non-blocking, so that a FIFO named as the log file never holds up the main queue.
    handle_.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                         defaultFileMode));
}

std::string LogFileWriter::formattedLine(const SSHLogLine& line) {
    return formatIsoDate(line.date) + " " + line.text + "\n";
}

std::optional<FileError> LogFileWriter::write(const SSHLogLine& line) {
    if (!handle_) {
        return std::nullopt;
    }
    const std::string bytes = formattedLine(line);
    size_t written = 0;
    while (written < bytes.size()) {
        const auto n = ::write(handle_.get(), bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        const auto error = FileError::system(FileError::Operation::write, path_, n < 0 ? errno : EIO);
        handle_.reset();
        return error;
    }
    return std::nullopt;
}

} // namespace tunnelkit
