#include "convert/boundapplication.h"

#include "convert/workbookconversion.h"

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

BoundApplication::BoundApplication() : workbooks(OpenWorkbooks(application, failure)) {}

BoundApplication::~BoundApplication()
{
    application.dynamicCall("Quit(void)");
}
