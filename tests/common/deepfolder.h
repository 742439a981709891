#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A chain of folders below root deeper than the system's longest path (40 names of 120
// characters), made level by level, with a workbook at its bottom. On destruction it is cut in
// two, so that its root can be removed by paths again.
class DeepFolder
{
public:
    explicit DeepFolder(const std::string& root)
    {
        levels_.push_back(open(root.c_str(), O_RDONLY | O_DIRECTORY));
        for (int level = 0; level < 40 && levels_.back() >= 0; ++level) {
            if (mkdirat(levels_.back(), Name.c_str(), 0755) != 0)
                return;
            levels_.push_back(openat(levels_.back(), Name.c_str(), O_RDONLY | O_DIRECTORY));
        }
        const int book = levels_.back() >= 0
                             ? openat(levels_.back(), "deep.xlsx", O_CREAT | O_WRONLY, 0644)
                             : -1;
        made_ = book >= 0 && write(book, "x", 1) == 1;
        if (book >= 0)
            close(book);
    }
    ~DeepFolder()
    {
        if (levels_.size() > 20 && renameat(levels_[20], Name.c_str(), levels_[0], "tail") != 0)
            std::perror("cannot cut the deep folder");
        for (const int level : levels_)
            if (level >= 0)
                close(level);
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    bool made() const { return made_; }
    // The name of each of its folders.
    static inline const std::string Name = std::string(120, 'd');

private:
    std::vector<int> levels_;
    bool made_ = false;
};
