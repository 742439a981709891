#include "convert/runoptions.h"

#include <QThread>
#include <QtGlobal>

int DefaultJobs()
{
    return qBound(1, QThread::idealThreadCount(), MaxDefaultJobs);
}
