#pragma once

#include "app/startuppaths.h"

#include "common/fakeapplications.h"
#include "common/tempfolder.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

// A test of the main window: its settings file in a folder of its own, and no launch argument.
class WindowTest : public ::testing::Test
{
protected:
    TempFolder folder;
    // The window's runs' applications, unused by most.
    FakeApplications applications;

    void SetUp() override
    {
        StartupPaths.SettingsFile = folder / "Quillsheet.qlx";
        StartupPaths.LaunchArg.clear();
    }

    // The window's child of that name, which must be there.
    template <typename T> static T* Find(QWidget* window, const char* name)
    {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(child) << name;
        return child;
    }
};
