#pragma once

#include "platform/ports/UserMessages.h"

namespace qz {

// The program's message boxes: a warning with an OK button, owned by no window.
class MessageBoxes : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override;
};

} // namespace qz
