#pragma once

namespace qz {

// `fillmenus`: the plugin entries of "Add command" and the head entries of "Character Head", from the
// files in the program folder. An implementation is made with the menus it fills; choosing one of its
// entries travels as a signal that app/ connects to the editor or the head.
class MenuFiller {
public:
    virtual ~MenuFiller() = default;
    virtual void fillmenus() = 0;
};

} // namespace qz
