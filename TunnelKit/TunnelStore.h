#pragma once

#include "TunnelKit/FileIO.h"
#include "TunnelKit/JsonCoding.h"
#include "TunnelKit/Result.h"
#include "TunnelKit/Tunnel.h"

#include <string>
#include <variant>
#include <vector>

namespace tunnelkit {

// Why the tunnels file or an archive could not be read or written.
using StoreError = std::variant<FileError, DecodingError>;

// The tunnels file: every tunnel of the user, live and trashed, rewritten whole on each change.
class TunnelStore {
  public:
    struct Contents {
        int version = 1;
        std::vector<Tunnel> tunnels;
    };

    explicit TunnelStore(std::string filePath) : filePath_(std::move(filePath)) {}

    const std::string& filePath() const { return filePath_; }

    // No file yet is the empty list; an empty or unreadable file is an error, never a partial list.
    // Anything but a regular file, or a file larger than `maximumFileSize`, is refused.
    Result<std::vector<Tunnel>, StoreError> load() const;
    // Atomic: on failure the old file stays as it was.
    Result<void, StoreError> save(const std::vector<Tunnel>& tunnels) const;

    // The file's bytes as `load` reads them, and what `save` writes.
    static Result<std::vector<Tunnel>, DecodingError> decode(std::string_view bytes);
    static std::string encode(const std::vector<Tunnel>& tunnels);

  private:
    std::string filePath_;
};

// A self-describing export of chosen tunnels.
struct TunnelArchive {
    static constexpr const char* formatIdentifier = "burrowlight";

    std::string format = formatIdentifier;
    int version = 1;
    Date exportedAt;
    std::vector<Tunnel> tunnels;

    // Trashed tunnels are exported as live ones.
    static TunnelArchive make(const std::vector<Tunnel>& tunnels, Date exportedAt);

    std::string encoded() const;
    static Result<TunnelArchive, DecodingError> decode(std::string_view bytes);
    // Reads the file as the tunnels file is read (regular files of at most `maximumFileSize`
    // only) and decodes it.
    static Result<TunnelArchive, StoreError> load(const std::string& path);
};

} // namespace tunnelkit
