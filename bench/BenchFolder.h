#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace bench {

// A folder of its own under the temporary directory, gone with everything in it at the end.
class Folder {
  public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "burrowlight-bench-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A throwaway home in a folder of its own: the XDG data, runtime, cache and configuration folders,
// named in the environment for whatever the benchmark starts, and a "home" folder beside them.
class Home : public Folder {
  public:
    Home() {
        for (const char* name : {"data", "runtime", "cache", "config", "home"}) {
            std::filesystem::create_directories(file(name));
        }
        std::filesystem::permissions(file("runtime"), std::filesystem::perms::owner_all);
        ::setenv("XDG_DATA_HOME", file("data").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", file("runtime").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", file("cache").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
    }
};

} // namespace bench
