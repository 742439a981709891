#include <QApplication>
#include <QTextCodec>

#include "common/strictskips.h"

#include <gtest/gtest.h>

// Widget tests run without a display, with paths as UTF-8 as in the program.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const StrictSkipPrinter* strict = StrictSkipPrinter::Install();
    const int result = RUN_ALL_TESTS();
    return result != 0 || strict->Unexpected() > 0 ? 1 : 0;
}
