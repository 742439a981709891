#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

// What a desktop adds to a bare X server (Xvfb) that the window behaves by: a system tray.
namespace xdesktop {

inline xcb_atom_t Atom(xcb_connection_t* connection, const std::string& name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// A stand-in system tray on display ":<display>": it owns the selection by which programs find
// the tray of screen 0, for as long as it lives. Icons are never shown.
class TrayHost
{
public:
    explicit TrayHost(const std::string& display)
    {
        connection = xcb_connect((":" + display).c_str(), nullptr);
        if (xcb_connection_has_error(connection))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(connection, window, Atom(connection, "_NET_SYSTEM_TRAY_S0"),
                                XCB_CURRENT_TIME);
        ready = xcb_flush(connection) > 0;
    }
    ~TrayHost() { xcb_disconnect(connection); }
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    bool ready = false;

private:
    xcb_connection_t* connection;
};

} // namespace xdesktop
