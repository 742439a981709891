#pragma once

#include <QCoreApplication>
#include <QString>

// Texts that name the spreadsheet application the conversion needs on this platform: Excel or
// WPS on Windows, LibreOffice Calc elsewhere.

// The notice above the window's folder rows.
inline QString OfficeNotice()
{
#ifdef Q_OS_WIN
    return QCoreApplication::translate(
        "PlatformTexts", "需电脑中装有并激活的微软office2007以上办公软件,或金山WPS专业版(office与"
                         "wps转换效果可能有差异)");
#else
    return QCoreApplication::translate(
        "PlatformTexts", "需电脑中装有LibreOffice Calc办公软件(转换效果可能与微软office有差异)");
#endif
}

// The run's status line when no spreadsheet application answered.
inline QString NoOfficeMessage()
{
#ifdef Q_OS_WIN
    return QCoreApplication::translate(
        "PlatformTexts", "本功能需要电脑中装有微软office或金山wps专业版(注意是专业版,不是个人版)!");
#else
    return QCoreApplication::translate("PlatformTexts", "本功能需要电脑中装有LibreOffice Calc!");
#endif
}
