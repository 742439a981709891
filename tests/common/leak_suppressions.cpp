// Caches that libraries keep for the life of the process, which LeakSanitizer would report at
// exit: Qt's offscreen platform never frees its screen objects, and UNO keeps the type
// descriptions it has loaded. LeakSanitizer reads these at start.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n"
           "leak:QPlatformScreen::QPlatformScreen\n"
           "leak:QScreen::QScreen\n"
           "leak:QWindowSystemInterface::handleScreenAdded\n"
           "leak:libuno_cppu.so\n";
}
