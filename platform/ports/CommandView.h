#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace qz {

// The rows of the command list in the main window, row i showing record i. A row's Change and Delete
// buttons travel back as signals of the view's widget carrying the record's index, which app/ connects to
// the controller.
class CommandView {
public:
    virtual ~CommandView() = default;
    // The refresh's view steps: rows and scroll range rebuilt from `brainlist`'s records. The view may keep
    // the list (a QStringList copy is shared, not copied) to show the rows it scrolls to.
    virtual void rebuild(const QStringList& records) = 0;
    // `subititle` of row 0: its second line, where the recogniser's running guess shows.
    virtual void subititle(const QString& text) = 0;
    // The recogniser's guess is over (a phrase was recognised or rejected): row 0 shows its record's second
    // line again.
    virtual void endHypothesis() {}
    // The widget the main window places in `brainbox`; the main window takes it over.
    virtual QWidget* widget() = 0;
};

} // namespace qz
