// The user's ssh configuration as files: the input, cut at NUL bytes, becomes ~/.ssh/config, then
// ~/.ssh/a and ~/.ssh/b, which Include lines can name, beside a FIFO at ~/.ssh/fifo. Every line is
// tokenized and the aliases listed; no file is waited on or read without end (Include /dev/zero).
#include "FuzzInput.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/SSHConfigReader.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

using namespace tunnelkit;

namespace {

// A throwaway home for the whole run, removed at its end.
class Home {
  public:
    Home() {
        std::string pattern = (std::filesystem::temp_directory_path() / "burrowlight-fuzz-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(path_ + "/.ssh");
        ::mkfifo((path_ + "/.ssh/fifo").c_str(), 0600);
    }
    ~Home() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Home(const Home&) = delete;
    Home& operator=(const Home&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

const std::string& home() {
    static const Home made;
    return made.path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto rest = fuzzing::text(data, size);
    for (const char* name : {"config", "a", "b"}) {
        const auto end = rest.find('\0');
        (void)writeFileAtomically(home() + "/.ssh/" + name, rest.substr(0, end), 0600,
                                  Durability::survivesProcessCrash);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    for (const auto& line : SSHConfigReader::nonEmptyLines(fuzzing::text(data, size))) {
        (void)SSHConfigReader::tokenize(line);
    }
    const auto aliases = SSHConfigReader::hostAliases(home() + "/.ssh/config", home());
    for (const auto& alias : aliases) {
        fuzzing::require(!alias.empty() && alias.find_first_of("*?!") == std::string::npos);
    }
    return 0;
}
