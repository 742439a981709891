#include "convert/boundapplication.h"

BoundApplication::BoundApplication(std::unique_ptr<SpreadsheetApplication> unbound)
    : application(std::move(unbound))
{
    const CallResult binding = application->Bind();
    bound = binding.done;
    failure = binding.failure;
}

BoundApplication::~BoundApplication()
{
    application->Quit();
}
