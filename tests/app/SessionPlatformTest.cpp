// On a Wayland session the program runs through XWayland, unless the user chose a platform.

#include "app/SessionPlatform.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(SessionPlatform, XWaylandOnWaylandSessionsOtherwiseQtChooses) {
    struct Case {
        const char* name;
        QStringList variables; // NAME=value
        QByteArray platform;
    };
    const Case cases[] = {
        {"an X11 session", {"DISPLAY=:0", "XDG_SESSION_TYPE=x11"}, ""},
        {"Wayland with XWayland", {"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}, "xcb"},
        {"a Wayland session named only by its type", {"XDG_SESSION_TYPE=wayland", "DISPLAY=:1"}, "xcb"},
        {"Wayland without XWayland", {"WAYLAND_DISPLAY=wayland-0"}, ""},
        {"the user's own choice", {"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}, ""},
        {"no session at all", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QProcessEnvironment environment;
        for (const QString& variable : c.variables)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        EXPECT_EQ(sessionPlatform(environment), c.platform);
    }
}

} // namespace
} // namespace qz
