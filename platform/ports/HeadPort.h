#pragma once

#include <QString>

namespace qz {

// The character head as the controller drives it: loading a head by name, and the timers its animation
// runs on. What the user does on the head (the right click that opens "Options") and what loading a head
// asks of the controller (the voice its character file chooses) travel back as signals of the head's
// window, which app/ connects.
class HeadPort {
public:
    virtual ~HeadPort() = default;
    virtual void changehead(const QString& name) = 0;
    virtual void startIdle() = 0; // the `animate` timer
    virtual void stopIdle() = 0;
    virtual void startTalking() = 0; // the `talktimer` timer
    virtual void stopTalking() = 0;
    virtual void showRestFrame() = 0; // frame 0 in the picture area
    // A head is on the desktop: its right click opens "Options".
    virtual bool isShown() const { return false; }
};

} // namespace qz
