#pragma once

#include <QString>

// The folder a folder picker opens at for a field holding folder: that folder, or its nearest
// parent that still exists; the home folder when the field is empty. Relative paths are taken
// from the working folder, as a run takes them.
QString PickerStartFolder(const QString& folder);
