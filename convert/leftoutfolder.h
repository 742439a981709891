#pragma once

#include <QString>

// A folder that a listing did not enter on purpose: not a failure, but told in the reports.
struct LeftOutFolder
{
    enum class Why
    {
        OutsideSource,     // a link that leads out of the source tree, not followed
        VirtualFileSystem, // /proc, /sys and the like: no workbooks, and no end to them
    };
    QString path; // native form, as the listing met it
    Why why;
};
