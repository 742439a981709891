#include "convert/applicationcount.h"

#include <algorithm>

int ApplicationsWorthStarting(const QList<qint64>& workbookBytes, int jobs)
{
    if (workbookBytes.isEmpty())
        return 0;
    double work = 0;
    for (const qint64 bytes : workbookBytes)
        work += ApplicationCosts::SecondsPerWorkbook +
                ApplicationCosts::SecondsPerMegabyte * static_cast<double>(bytes) / (1 << 20);
    const int paying = static_cast<int>(work / ApplicationCosts::StartSeconds);
    return std::max(1, std::min({jobs, static_cast<int>(workbookBytes.size()), paying}));
}
