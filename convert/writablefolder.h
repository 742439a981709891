#pragma once

#include <QString>

// Whether files can be made in folder, tried by making and removing one, so that read-only
// mounts, missing permissions and access rules all show; false with the system's reason. A full
// disk is not such a folder: each workbook tells it.
bool FolderWritable(const QString& folder, QString& reason);

// The user's line for an output folder that cannot be written, naming it and why.
QString UnwritableOutputFolderLine(const QString& folder, const QString& reason);
