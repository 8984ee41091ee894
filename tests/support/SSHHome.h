#pragma once

#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace testing_support {

// A throwaway home folder with a ~/.ssh folder to build real configuration trees in.
class SSHHome {
  public:
    SSHHome() { std::filesystem::create_directories(sshFolder()); }

    const std::string& path() const { return dir_.path(); }
    std::string sshFolder() const { return dir_.path() + "/.ssh"; }
    std::string configFile() const { return sshFolder() + "/config"; }

    // Writes `bytes` at `relativePath` under ~/.ssh/, creating folders; returns the full path.
    std::string write(const std::string& relativePath, std::string_view bytes) const {
        const auto full = sshFolder() + "/" + relativePath;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary | std::ios::trunc) << bytes;
        return full;
    }
    std::string writeConfig(std::string_view bytes) const { return write("config", bytes); }

  private:
    TempDir dir_;
};

} // namespace testing_support
