#include "automation/spreadsheetserver.h"

#include "common/fullfilesystem.h"
#include "common/officeprocesses.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

// A limit the start-up handshake cannot meet: the office being started is killed when it
// expires, its files go with it, and a later start within a sound limit works.
TEST(OfficeStart, TheHandshakeHasTheCallLimit)
{
    SpreadsheetServer hasty(std::chrono::milliseconds(1));
    EXPECT_FALSE(hasty.Start());
    EXPECT_TRUE(hasty.LastError().contains(QStringLiteral("at start")))
        << hasty.LastError().toStdString();
    EXPECT_EQ(hasty.LastFailure().kind, FailureKind::NoAnswer);
    EXPECT_EQ(hasty.LastFailure().seconds, 0.001);
    EXPECT_EQ(hasty.ProcessId(), -1);
    EXPECT_EQ(OfficesOfThisProcess(), 0);
    // The server may keep a set-up profile for its next office until it quits.
    hasty.Quit();
    EXPECT_TRUE(OfficeFilesOf(getpid()).empty());

    SpreadsheetServer patient(std::chrono::seconds(60));
    EXPECT_TRUE(patient.Start()) << patient.LastError().toStdString();
    EXPECT_EQ(OfficesOfThisProcess(), 1);
    patient.Quit();
    EXPECT_EQ(OfficesOfThisProcess(), 0);
    EXPECT_TRUE(OfficeFilesOf(getpid()).empty());
}

// An office whose temporary folder is full, or holds no more files, cannot start: it is told as
// that, not as an office missing.
TEST(OfficeStart, AFullTemporaryFolderIsToldAsSuch)
{
    const std::string saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    for (const auto what : {FullFileSystem::Exhausted::Space, FullFileSystem::Exhausted::Files}) {
        TempFolder folder;
        const FullFileSystem full(folder.path(), what);
        if (!full.Mounted())
            OPTIONAL_SKIP("mounting a small file system needs root");
        setenv("TMPDIR", folder.path().c_str(), 1);
        SpreadsheetServer server(std::chrono::seconds(30));
        EXPECT_FALSE(server.Start());
        EXPECT_EQ(server.LastFailure().kind, FailureKind::TemporaryFolderUnusable)
            << server.LastError().toStdString();
        server.Quit();
        if (saved.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", saved.c_str(), 1);
    }
    EXPECT_EQ(OfficesOfThisProcess(), 0);
}
