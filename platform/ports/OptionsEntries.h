#pragma once

namespace qz {

// The entries of the "Options" menu whose state the controller keeps. Every entry's click, and the menu's
// opening, travel as signals of the menu that app/ connects to the controller's handlers.
class OptionsEntries {
public:
    virtual ~OptionsEntries() = default;
    // `mnuBrain`, "Show brain".
    virtual void setBrainEnabled(bool enabled) = 0;
    // `mnuSleep`, "Activate functions".
    virtual void setSleepEnabled(bool enabled) = 0;
};

} // namespace qz
