#pragma once

#include <string>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs mounted on a folder and filled to the brim: no block left, or no file can be
// made though space is left. Only root may mount one: mounted() is false elsewhere, and the test
// skips as optional.
class FullFileSystem
{
public:
    enum class Exhausted
    {
        Space,
        Files
    };

    FullFileSystem(const std::string& folder, Exhausted what) : folder_(folder)
    {
        const char* options = what == Exhausted::Space ? "size=256k" : "nr_inodes=16";
        if (geteuid() != 0 || mount("tmpfs", folder.c_str(), "tmpfs", 0, options) != 0)
            return;
        mounted_ = true;
        if (what == Exhausted::Space) {
            const int filler = open((folder + "/filler").c_str(), O_CREAT | O_WRONLY, 0644);
            const std::string block(4096, 'x');
            while (filler >= 0 && write(filler, block.data(), block.size()) > 0) {
            }
            if (filler >= 0)
                close(filler);
            return;
        }
        for (int file = 0; file < 1000; ++file) {
            const int made =
                open((folder + "/f" + std::to_string(file)).c_str(), O_CREAT | O_WRONLY, 0644);
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

    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};
