#include "automation/leftovers.h"
#include "automation/officenames.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The id of a process of ours that has ended.
long EndedPid()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

TEST(TemporaryPdfLeftovers, OnlyOursOfEndedRunsAreRemoved)
{
    TempFolder folder;
    const std::string dead = std::to_string(EndedPid());
    const std::string live = std::to_string(getpid());
    enum Kind
    {
        File,
        Folder,
        Link
    };
    const struct
    {
        std::string name;
        Kind kind;
        bool removed;
    } cases[] = {
        {".quillsheet-" + dead + "-" + HostMark() + "-1.pdf.part", File, true},
        {".quillsheet-" + dead + "-1.pdf.part", File, true},
        {".quillsheet-" + dead + "-3-123456.pdf", File, true},
        // Another machine's run of that process id may still be writing it.
        {".quillsheet-" + dead + "-h00000000-2.pdf.part", File, false},
        {".quillsheet-" + live + "-" + HostMark() + "-2.pdf.part", File, false},
        {".quillsheet-" + live + "-1.pdf.part", File, false},
        {".quillsheet-" + live + "-2-99.pdf", File, false},
        {".quillsheet-" + dead + "-1.pdf.part.x", File, false},
        {".quillsheet-" + dead + "-a.pdf.part", File, false},
        {".quillsheet-" + dead + "-.pdf", File, false},
        {".quillsheet-" + dead + ".pdf.part", File, false},
        {"quillsheet-" + dead + "-1.pdf.part", File, false},
        {".quillsheet-office-" + dead + "-1.pdf.part", File, false},
        {"lu" + dead + "abc.tmp", File, false},
        {"report.pdf", File, false},
        {".quillsheet-" + dead + "-4.pdf.part", Folder, false},
        {".quillsheet-" + dead + "-5.pdf.part", Link, false},
    };
    for (const auto& c : cases) {
        const fs::path path = folder.path() / c.name;
        if (c.kind == Folder)
            fs::create_directory(path);
        else if (c.kind == Link)
            fs::create_symlink(folder.path() / "report.pdf", path);
        else
            std::ofstream(path) << "";
    }
    int removed = 0;
    for (const auto& c : cases)
        removed += c.removed;
    EXPECT_EQ(RemoveTemporaryPdfsOfEndedRuns(folder.path().string()), removed);
    for (const auto& c : cases)
        EXPECT_EQ(fs::symlink_status(folder.path() / c.name).type() == fs::file_type::not_found,
                  c.removed)
            << c.name;
    EXPECT_EQ(RemoveTemporaryPdfsOfEndedRuns(folder.path().string()), 0);
    EXPECT_EQ(RemoveTemporaryPdfsOfEndedRuns((folder.path() / "missing").string()), 0);
}

} // namespace
