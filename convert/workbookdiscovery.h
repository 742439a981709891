#pragma once

#include "convert/leftoutfolder.h"

#include <QFileInfo>
#include <QFileInfoList>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// How a tree is listed beyond the rules every listing keeps.
struct ListingRules
{
    // Links to folders outside the tree are followed too.
    bool followOutsideLinks = false;
    // Asked before each folder: true ends the listing there.
    std::function<bool()> stop;
    // The files kept (every file when empty), so that a listing holds only what it needs.
    std::function<bool(const QFileInfo& file)> keep;
};

// What a listing found.
struct TreeListing
{
    QFileInfoList files;
    // What could not be listed: one failure line each ("path: reason").
    QStringList unlisted;
    QList<LeftOutFolder> leftOut;
    // Each folder listed, the tree's own first.
    QStringList folders;
    // The links to folders outside the tree that were followed, as listed: below them is outside.
    QStringList outsideLinks;
    bool stopped = false;
};

// Every file below path, depth first: a folder's own files (hidden ones included, links to files
// left out) in the file system's order, then each subfolder's whole subtree in turn. Each real
// folder is listed once, by the first path met to it, whatever links lead there; hidden folders
// and virtual file systems (/proc, /sys, …) are not entered, links to folders outside the tree
// are left out unless the rules follow them. What cannot be listed (a folder that cannot be read
// or whose path is too long, a folder or workbook whose name is not valid text in this system's
// encoding) is missing from the files and named in unlisted.
TreeListing ListTree(const QString& path, const ListingRules& rules = ListingRules());

// ListTree's files under its default rules; with unlisted and folders given, those too.
QFileInfoList GetFileInfoList(const QString& path, QStringList* unlisted = nullptr,
                              QStringList* folders = nullptr);

// True for an entry to convert: its lowered native path ends with ".xls", ".xlsx" or ".xlsm" and
// holds no "~$" (Office's lock files) anywhere.
bool IsWorkbookPath(const QFileInfo& entry);

// "链接指向源文件夹之外" and the like, in the user's language.
QString LeftOutReason(LeftOutFolder::Why why);
