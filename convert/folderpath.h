#pragma once

#include <QString>

// Makes folder with every missing parent; false with the system's reason (a permission denied
// stays one) when a level cannot be made.
bool MakeFolderPath(const QString& folder, QString& error);
