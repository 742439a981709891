#pragma once

#include <QString>

// A share of a run's workbooks, so that several machines on one storage convert one tree without
// overlap: share index (from 1) of count.
struct Shard
{
    int index = 1;
    int count = 1;
};

// "K/N" with 1 <= K <= N; false for anything else.
bool ParseShard(const QString& text, Shard& shard);

// Whether the workbook whose path relative to the source folder is relativePath, with the base
// name baseKey (as the file system compares names), falls to shard. Decided by a hash of the
// folder and base name that is the same on every machine, so that same-base-name workbooks of
// one folder stay together; the run gives the workbooks of one name group their first one's
// base name, so that they do too.
bool InShard(const QString& relativePath, const QString& baseKey, const Shard& shard);
