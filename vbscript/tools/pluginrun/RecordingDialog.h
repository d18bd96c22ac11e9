// The settings dialog of `vbsrun --plugin`: the designed controls, the arrays the field builder adds to,
// and the Browse buttons, all as plain values that a plugin script reads and places, printed afterwards
// instead of shown.
#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "vbscript/HostObject.h"
#include "vbscript/plugin/SettingsDialogDesign.h"

namespace vbscript::pluginrun {

// One control: a copy of its array's element 0 that the script moves, sizes and fills.
class RecordingControl : public HostObject {
public:
    explicit RecordingControl(const plugin::ControlDesign& design);

    const plugin::ControlDesign& design;
    plugin::Rect place;
    std::u16string text; // its Text or Caption, as its kind has
    bool visible;
    int32_t value = 0; // check boxes: 0 unchecked, 1 checked

    int findMember(std::u16string_view name) override;
    int defaultMember() const override;
    Variant invoke(int id, InvokeKind kind, const CallArgs& args) override;
    std::u16string typeName() const override;
};

// A control array as scripts reach it: `textinput(1)` is element 1.
class RecordingArray : public HostObject {
public:
    explicit RecordingArray(const plugin::ControlDesign& design);

    const plugin::ControlDesign& design;
    std::map<int, std::shared_ptr<RecordingControl>> elements;

    // A visible copy of element 0, numbered upper bound + 1.
    std::shared_ptr<RecordingControl> addElement();
    int upperBound() const { return elements.rbegin()->first; }
    void removeAddedElements();

    int findMember(std::u16string_view name) override;
    int defaultMember() const override { return 0; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& args) override;
    std::unique_ptr<Enumerator> enumerate() override;
};

class RecordingDialog : public HostObject {
public:
    RecordingDialog();

    std::shared_ptr<RecordingArray> textboxes, labels, checkboxes, pathBoxes, browseButtons;
    std::shared_ptr<RecordingControl> confirm;
    std::u16string dialogplugin;

    // An opening for `plugin`: the fields of an earlier one removed, the phrase box emptied.
    void open(const std::u16string& plugin, std::u16string_view confirmCaption);
    // create(kind) of the main window; any other kind makes nothing.
    void create(std::u16string_view kind);
    // A Browse button for each path box, once draw or Changer has returned.
    void attachBrowseButtons();
    // The array a script calls `name` ("textinput", "Checkbox", ...), or null.
    std::shared_ptr<RecordingArray> arrayNamed(std::u16string_view name) const;
    // Every visible control and every control the script made, in the order they came.
    void print(std::ostream& out) const;

    int findMember(std::u16string_view name) override;
    Variant invoke(int id, InvokeKind kind, const CallArgs& args) override;

private:
    std::vector<std::shared_ptr<RecordingArray>> arrays() const;
    std::vector<std::pair<const RecordingArray*, int>> made_; // fields and buttons, in creation order
};

} // namespace vbscript::pluginrun
