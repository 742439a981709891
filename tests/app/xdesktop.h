#pragma once

#include "common/tempfolder.h"

#include <xcb/xcb.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// What a desktop adds to a bare X server (Xvfb) that the window behaves by: a system tray and a
// window manager.
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

// A window manager ("openbox", "xfwm4") on display ":<display>", in a session bus of its own as
// on a desktop, ended with everything it started. The bus listens in a folder of the manager's,
// which goes with it: a bus daemon killed with the manager leaves its socket behind.
class WindowManager
{
public:
    WindowManager(const std::string& name, const std::string& display)
    {
        // This process's environment on that display, without an accessibility bus: nothing of
        // it would be ended with the manager.
        std::vector<std::string> variables = {"DISPLAY=:" + display, "NO_AT_BRIDGE=1"};
        for (char** entry = environ; *entry; ++entry)
            if (std::strncmp(*entry, "DISPLAY=", 8) != 0)
                variables.emplace_back(*entry);
        std::vector<char*> environment;
        for (std::string& variable : variables)
            environment.push_back(variable.data());
        environment.push_back(nullptr);
        const std::string config = busFolder / "session.conf";
        WriteFile(config,
                  "<busconfig><type>session</type><listen>unix:dir=" + busFolder.path().string() +
                      "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                      "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                      "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                      "</busconfig>\n");
        const std::string configOption = "--config-file=" + config;
        std::vector<const char*> args = {"dbus-run-session", configOption.c_str(), "--",
                                         name.c_str()};
        if (name == "xfwm4")
            args.insert(args.end(), {"--sm-client-disable", "--compositor=off"});
        else
            args.push_back("--sm-disable");
        args.push_back(nullptr);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        if (posix_spawn(&pid, "/usr/bin/dbus-run-session", nullptr, &attributes,
                        const_cast<char* const*>(args.data()), environment.data()) != 0)
            pid = -1;
        posix_spawnattr_destroy(&attributes);
        ready = pid > 0 && WaitUntilManaging(display);
    }
    ~WindowManager()
    {
        if (pid <= 0)
            return;
        kill(-pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        kill(-pid, SIGKILL);
    }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    bool ready = false;

private:
    // A manager says it runs by naming its check window on the root window (within 20 s).
    static bool WaitUntilManaging(const std::string& display)
    {
        xcb_connection_t* connection = xcb_connect((":" + display).c_str(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
        bool managing = false;
        for (int i = 0; i < 400 && !managing && !xcb_connection_has_error(connection); ++i) {
            xcb_get_property_reply_t* reply = xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1),
                nullptr);
            managing = reply && xcb_get_property_value_length(reply) > 0;
            free(reply);
            if (!managing)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        xcb_disconnect(connection);
        return managing;
    }

    TempFolder busFolder;
    pid_t pid = -1;
};

} // namespace xdesktop
