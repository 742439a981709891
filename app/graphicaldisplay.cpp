#include "app/graphicaldisplay.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <cstring>

namespace {

// Whether one of the platforms of a Qt platform list ("a;b", each "name:options") draws without
// a display.
bool DrawsWithoutDisplay(const QByteArray& platforms)
{
    static const char* const displayless[] = {"offscreen", "minimal", "vnc", "linuxfb", "eglfs"};
    for (const QByteArray& platform : platforms.split(';')) {
        const QByteArray name = platform.split(':').first().trimmed();
        for (const char* known : displayless)
            if (name == known)
                return true;
    }
    return false;
}

} // namespace

bool DisplayMissing(int argc, char** argv)
{
#if defined(Q_OS_LINUX)
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            platform = argv[i + 1];
    return !DrawsWithoutDisplay(platform);
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return false;
#endif
}
