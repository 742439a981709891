#pragma once

// True when Qt would need a display that is not there: on Linux, neither DISPLAY nor
// WAYLAND_DISPLAY is set and neither QT_QPA_PLATFORM nor a -platform argument names a platform
// that draws without one (offscreen, minimal, vnc, linuxfb, eglfs). Qt itself would end with its
// own message and abort; the program says what is missing instead. Always false elsewhere.
bool DisplayMissing(int argc, char** argv);
