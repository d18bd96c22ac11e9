// The settings dialog as plugin scripts know it: the one description of its design, in twips of the
// dialog's client area. The program's dialog and the recording dialog of `vbsrun --plugin` both take
// their controls, the field builder's kinds and the Browse buttons' places from here.
#pragma once

#include <string_view>

namespace vbscript::plugin {

enum class ControlKind { Label, TextBox, CheckBox, PathBox, Button };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// A designed control: element 0 of a control array, or the confirm button.
struct ControlDesign {
    std::u16string_view name; // the control's name, a member of the "dialog" object
    ControlKind kind;
    Rect place;
    std::u16string_view text;       // the caption (labels, check boxes, buttons) or text (boxes)
    bool visible;                   // at run time; the hidden ones are templates
    std::u16string_view scriptName; // the settings object that is this array, or empty
};

inline constexpr std::u16string_view kDialogCaption = u"Add";
inline constexpr int kClientWidth = 4815;
inline constexpr int kClientHeight = 3660;

inline constexpr ControlDesign kLabelthing{
    u"Labelthing", ControlKind::Label, {120, 135, 1245, 195}, u"Activation Phrase", true, u"textoutput"};
inline constexpr ControlDesign kTextbox{u"Textbox", ControlKind::TextBox, {120, 360, 4575, 300}, u"",
                                        true,       u"textinput"};
inline constexpr ControlDesign kCheckbox{
    u"Checkbox", ControlKind::CheckBox, {150, 1485, 1890, 240}, u"Check1", false, u""};
inline constexpr ControlDesign kPathBox{u"bp1", ControlKind::PathBox, {120, 2400, 4575, 345}, u"(None)",
                                        false,  u"browsedialog"};
inline constexpr ControlDesign kBrowseButton{
    u"bp2", ControlKind::Button, {2625, 1575, 1050, 360}, u"Browse", false, u""};
// Not an array. Its caption is the dialog's mode: kCreateCaption or kChangeCaption.
inline constexpr ControlDesign kConfirmButton{
    u"addtobrain", ControlKind::Button, {3255, 3165, 1440, 450}, u"Create", true, u""};

inline constexpr std::u16string_view kCreateCaption = u"Create";
inline constexpr std::u16string_view kChangeCaption = u"Change";

// The control arrays, in the order in which an opening removes the elements 1 and up that an earlier
// opening made. A new element is a visible copy of element 0, numbered upper bound + 1.
inline constexpr const ControlDesign* kControlArrays[] = {&kTextbox, &kLabelthing, &kCheckbox, &kBrowseButton,
                                                          &kPathBox};
// Tab order at design.
inline constexpr const ControlDesign* kTabOrder[] = {&kTextbox,  &kLabelthing,   &kConfirmButton,
                                                     &kCheckbox, &kBrowseButton, &kPathBox};

// The kinds that create(kind) knows, compared exactly (letter case included), and the array each adds
// an element to; any other kind makes nothing and is no error.
struct CreateKind {
    std::u16string_view kind;
    const ControlDesign* array;
};
inline constexpr CreateKind kCreateKinds[] = {
    {u"textinput", &kTextbox},
    {u"textoutput", &kLabelthing},
    {u"checkbox", &kCheckbox},
    {u"browsedialog", &kPathBox},
};
constexpr const ControlDesign* arrayForKind(std::u16string_view kind) {
    for (const CreateKind& k : kCreateKinds)
        if (k.kind == kind) return k.array;
    return nullptr;
}

// The objects each run hands the script host, in this order, each with its members made global.
inline constexpr std::u16string_view kSettingsObjects[] = {u"dialog", u"qz", u"textinput", u"textoutput",
                                                           u"browsedialog"};
inline constexpr std::u16string_view kActionObjects[] = {u"QZ", u"clipboard"};

// Where the Browse button of a path box goes once draw or Changer has returned, and the box's width
// then: the button covers the right end of the box, which ends 2 twips before it. A box too narrow for
// that keeps its width and gets the button 2 twips to its right instead of a negative width.
struct BrowsePlace {
    Rect button;
    int boxWidth;
};
constexpr BrowsePlace browsePlaceFor(Rect box) {
    const int w = kBrowseButton.place.width;
    if (box.width < w + 2) return {{box.left + box.width + 2, box.top, w, box.height}, box.width};
    return {{box.left + box.width - w, box.top, w, box.height}, box.width - w - 2};
}
static_assert(browsePlaceFor(kPathBox.place).button.left == 3645 &&
              browsePlaceFor(kPathBox.place).boxWidth == 3523);

} // namespace vbscript::plugin
