#include "convert/runoptions.h"

#include "support/usablecpus.h"

#include <QtGlobal>

int DefaultJobs()
{
    return qBound(1, UsableCpus(), MaxDefaultJobs);
}
