#pragma once

// The automation object that a run drives: ActiveQt's QAxObject on Windows, where COM reaches
// Excel or WPS; elsewhere our own object, answered by LibreOffice. Both take the same calls.

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QAxObject>
using AutomationObject = QAxObject;
#else
#include "automation/automationobject.h"
#endif
