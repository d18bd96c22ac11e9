#include "app/SessionPlatform.h"

namespace qz {

QByteArray sessionPlatform(const QProcessEnvironment& environment) {
    auto set = [&](const char* name) { return !environment.value(QString::fromLatin1(name)).isEmpty(); };
    if (set("QT_QPA_PLATFORM") || !set("DISPLAY")) return {};
    const bool wayland =
        set("WAYLAND_DISPLAY") || environment.value(QStringLiteral("XDG_SESSION_TYPE"))
                                          .compare(QStringLiteral("wayland"), Qt::CaseInsensitive) == 0;
    return wayland ? QByteArrayLiteral("xcb") : QByteArray();
}

} // namespace qz
