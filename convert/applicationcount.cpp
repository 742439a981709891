#include "convert/applicationcount.h"

#include <algorithm>

double EstimatedWork(qint64 workbookBytes)
{
    return ApplicationCosts::SecondsPerWorkbook +
           ApplicationCosts::SecondsPerMegabyte * static_cast<double>(workbookBytes) / (1 << 20);
}

int ApplicationsWorthStarting(const QList<qint64>& workbookBytes, int jobs)
{
    if (workbookBytes.isEmpty())
        return 0;
    double work = 0;
    for (const qint64 bytes : workbookBytes)
        work += EstimatedWork(bytes);
    const int paying = static_cast<int>(work / ApplicationCosts::StartSeconds);
    return std::max(1, std::min({jobs, static_cast<int>(workbookBytes.size()), paying}));
}
