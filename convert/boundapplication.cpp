#include "convert/boundapplication.h"

#include "convert/excelapplication.h"

#ifdef Q_OS_WIN
#include <objbase.h>
#endif

BoundApplication::ThreadApartment::ThreadApartment()
{
#ifdef Q_OS_WIN
    // Multithreaded, as the run's threads are not Qt's GUI thread; the result changes nothing.
    CoInitializeEx(nullptr, 0);
#endif
}

BoundApplication::BoundApplication()
    : application(std::make_unique<ExcelApplication<AutomationObject>>())
{
    const CallResult binding = application->Bind();
    bound = binding.done;
    failure = binding.failure;
}

BoundApplication::~BoundApplication()
{
    application->Quit();
}
