#pragma once

// A tiny file system that is full, for what a program does when its writes fail with ENOSPC.

#include "common/tempfolder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <sys/mount.h>
#include <unistd.h>

// A 64 KB tmpfs mounted at a folder of its own, holding the given files (name, bytes) and then
// filled to the last page; unmounted when it goes. Mounting takes root: Mounted() is false (with
// the reason) when it could not be mounted.
class FullFileSystem
{
public:
    explicit FullFileSystem(const std::vector<std::pair<std::string, std::string>>& files)
    {
        if (geteuid() != 0) {
            reason_ = "mounting a tmpfs takes root";
            return;
        }
        if (mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, "size=64k,mode=0777") != 0) {
            reason_ = std::string("no tmpfs could be mounted: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
        for (const auto& [name, bytes] : files) {
            std::filesystem::create_directories(
                std::filesystem::path(folder_ / name).parent_path());
            WriteFile(folder_ / name, bytes);
        }
        std::ofstream filler(folder_ / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size()))
            ;
    }
    ~FullFileSystem()
    {
        if (mounted_)
            umount2(folder_.path().c_str(), MNT_DETACH);
    }
    FullFileSystem(const FullFileSystem&) = delete;
    FullFileSystem& operator=(const FullFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::filesystem::path& path() const { return folder_.path(); }
    const std::string& Reason() const { return reason_; }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    // The names in it besides the filler.
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.path()))
            if (entry.path().filename() != "filler")
                names.insert(entry.path().lexically_relative(folder_.path()));
        return names;
    }

private:
    TempFolder folder_;
    bool mounted_ = false;
    std::string reason_;
};
