#pragma once

// A tiny file system that is full, for what a program does when its writes fail with ENOSPC:
// no block left, or no file can be made though space is left.

#include "common/tempfolder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A tmpfs mounted on a folder, then exhausted; unmounted when it goes. Mounting takes root:
// Mounted() is false (with the reason) when it could not be mounted, and the test skips as
// optional.
class FullFileSystem
{
public:
    enum class Exhausted
    {
        Space,
        Files
    };

    // On a folder of its own, holding the given files (name, bytes) before it is filled.
    explicit FullFileSystem(const std::vector<std::pair<std::string, std::string>>& files)
        : own_(std::make_unique<TempFolder>()), folder_(own_->path().string())
    {
        if (!Mount("size=64k"))
            return;
        for (const auto& [name, bytes] : files) {
            std::filesystem::create_directories(std::filesystem::path(*this / name).parent_path());
            WriteFile(*this / name, bytes);
        }
        FillSpace();
    }
    // On folder, which exists.
    FullFileSystem(const std::string& folder, Exhausted what) : folder_(folder)
    {
        if (!Mount(what == Exhausted::Space ? "size=256k" : "nr_inodes=16"))
            return;
        if (what == Exhausted::Space) {
            FillSpace();
            return;
        }
        for (int file = 0; file < 1000; ++file) {
            const int made =
                open((folder_ + "/f" + std::to_string(file)).c_str(), O_CREAT | O_WRONLY, 0644);
            if (made < 0)
                return;
            close(made);
        }
    }
    ~FullFileSystem()
    {
        if (mounted_)
            umount2(folder_.c_str(), MNT_DETACH);
    }
    FullFileSystem(const FullFileSystem&) = delete;
    FullFileSystem& operator=(const FullFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Reason() const { return reason_; }
    std::filesystem::path path() const { return folder_; }
    std::string operator/(const std::string& name) const { return folder_ + "/" + name; }
    // The names in it besides the filler.
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_))
            if (entry.path().filename() != "filler")
                names.insert(entry.path().lexically_relative(folder_));
        return names;
    }

private:
    bool Mount(const char* options)
    {
        if (geteuid() != 0) {
            reason_ = "mounting a tmpfs takes root";
            return false;
        }
        if (mount("tmpfs", folder_.c_str(), "tmpfs", 0,
                  (std::string(options) + ",mode=0777").c_str()) != 0) {
            reason_ = std::string("no tmpfs could be mounted: ") + std::strerror(errno);
            return false;
        }
        mounted_ = true;
        return true;
    }
    void FillSpace()
    {
        const int filler = open((folder_ + "/filler").c_str(), O_CREAT | O_WRONLY, 0644);
        const std::string block(4096, 'x');
        while (filler >= 0 && write(filler, block.data(), block.size()) > 0) {
        }
        if (filler >= 0)
            close(filler);
    }

    std::unique_ptr<TempFolder> own_;
    std::string folder_;
    bool mounted_ = false;
    std::string reason_;
};
