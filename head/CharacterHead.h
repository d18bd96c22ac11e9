#pragma once

// The character head as the rest of the program sees it: `changehead`, the head menu's `nh_Click` and the
// timers the voice switches. The head window and its timers are made on first use and live to the end.
// Depends on the message boxes (handed in) and the files in the program's `character` folder.

#include "platform/ports/HeadPort.h"
#include "store/ProgramFolder.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <memory>

namespace qz {

class HeadTimers;
class HeadWindow;
class UserMessages;

class CharacterHead : public QObject, public HeadPort {
    Q_OBJECT
public:
    CharacterHead(ProgramFolder folder, UserMessages& messages, QObject* parent = nullptr);
    ~CharacterHead() override;

    // Loads `<name>.qzc` from the character folder, shows and shapes the head, remembers it in the
    // current-head file and asks for its voice. A missing file says "Error, Character missing!"; a file
    // that is not a usable bitmap is named with the reason. Either way the head shown before, the
    // current-head file and the voice stay as they were, and the character file is never written.
    void changehead(const QString& name) override;
    void startIdle() override;
    void stopIdle() override;
    void startTalking() override;
    void stopTalking() override;
    void showRestFrame() override;
    bool isShown() const override;

    // The head menu: entry 0 ("No head") writes "none" and hides the head; entry i > 0 loads the head
    // named by its caption (a character file's name) up to the first ".".
    void nh_Click(int index, const QString& caption);

    // Null until the head is first used.
    HeadWindow* window() const { return window_.get(); }
    HeadTimers* timers() const { return timers_.get(); }
    QString currentHeadFile() const;

signals:
    // `setvoice` with the loaded character file's voice byte.
    void voiceChosen(int voice);
    // A right press on the head: the "Options" menu is wanted at the pointer.
    void optionsRequested(const QPoint& globalPos);

private:
    HeadWindow& head();
    QString characterFolder() const;
    void writeCurrentHead(const QString& line);

    ProgramFolder folder_;
    UserMessages& messages_;
    std::unique_ptr<HeadWindow> window_;
    std::unique_ptr<HeadTimers> timers_;
    QString lastWriteFailure_; // told once; forgotten when a write succeeds again
};

} // namespace qz
