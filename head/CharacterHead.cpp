#include "head/CharacterHead.h"

#include "head/CharacterFile.h"
#include "head/HeadAnimation.h"
#include "head/HeadLog.h"
#include "head/HeadPicture.h"
#include "head/HeadTimers.h"
#include "head/HeadWindow.h"
#include "platform/ports/UserMessages.h"
#include "store/CommandFile.h"
#include "store/TextLines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qz {
namespace {

const QString Title = QStringLiteral("Quorzel");

} // namespace

CharacterHead::CharacterHead(ProgramFolder folder, UserMessages& messages, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), messages_(messages) {}

CharacterHead::~CharacterHead() = default;

HeadWindow& CharacterHead::head() {
    if (!window_) {
        window_ = std::make_unique<HeadWindow>();
        connect(window_.get(), &HeadWindow::optionsRequested, this, &CharacterHead::optionsRequested);
        timers_ = std::make_unique<HeadTimers>([this](int frame) {
            if (frame >= HeadFrame::FirstMouth) qCDebug(lcHead) << "mouth frame" << frame;
            window_->showFrame(frame);
        });
    }
    return *window_;
}

QString CharacterHead::characterFolder() const {
    const QFileInfo folder(folder_.characterFolder());
    if (folder.isDir()) return folder.filePath();
    // The folder is named without regard to letter case, like the files in it.
    const QDir root(folder_.root());
    for (const QString& entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (entry.compare(folder.fileName(), Qt::CaseInsensitive) == 0) return root.filePath(entry);
    return folder.filePath();
}

QString CharacterHead::currentHeadFile() const {
    return characterFolder() + u'/' + QFileInfo(folder_.currentHeadFile()).fileName();
}

void CharacterHead::changehead(const QString& name) {
    const std::optional<QString> path = findCharacterFile(characterFolder(), name);
    if (!path) {
        messages_.warning(Title, QStringLiteral("Error, Character missing!"));
        return;
    }
    QString reason;
    std::optional<CharacterFile> character;
    if (std::optional<QByteArray> bytes = readCharacterBytes(*path, reason)) {
        // Timer ticks and speech events may run here; they work on the head still shown.
        QCoreApplication::processEvents();
        character = decodeCharacterFile(std::move(*bytes), reason);
    }
    if (!character) {
        messages_.warning(Title,
                          QStringLiteral("The head \"%1\" cannot be shown. Its character file\n%2\n%3\n\n"
                                         "The file is left as it is, and the head shown before stays.")
                              .arg(name, QDir::toNativeSeparators(*path), reason));
        return;
    }
    HeadWindow& window = head();
    window.setPicture(character->strip);
    window.animation()->setStrip(character->strip);
    window.MakeTransparent(qRgb(255, 255, 255));
    // Shown once sized and shaped, so it never flashes up as a plain rectangle.
    window.show();
    qCDebug(lcHead) << "head" << name << "shown from" << *path << "voice byte" << int(character->voice);
    writeCurrentHead(name);
    emit voiceChosen(character->voice);
}

void CharacterHead::nh_Click(int index, const QString& caption) {
    if (index == 0) {
        writeCurrentHead(QStringLiteral("none"));
        head().hide();
        return;
    }
    changehead(caption.section(u'.', 0, 0));
}

void CharacterHead::writeCurrentHead(const QString& line) {
    TextEncoding encoding = TextEncoding::Utf8;
    const QString file = currentHeadFile();
    // A file that already names this head is left as the user wrote it (start-up shows the head it names).
    const auto lines = readTextLines(file);
    if (lines && !lines->isEmpty() && lines->first() == line) return;
    const QString failure = CommandFile::write(file, {line}, encoding);
    if (failure.isEmpty()) {
        lastWriteFailure_.clear();
        return;
    }
    if (failure == lastWriteFailure_) return;
    lastWriteFailure_ = failure;
    messages_.warning(Title,
                      QStringLiteral("Quorzel could not save the head you chose to\n%1\n(%2).\n\n"
                                     "Your choice holds until Quorzel ends; the next start will not know it.")
                          .arg(QDir::toNativeSeparators(file), failure));
}

void CharacterHead::startIdle() {
    head();
    timers_->setAnimate(true);
}

void CharacterHead::stopIdle() {
    head();
    timers_->setAnimate(false);
}

void CharacterHead::startTalking() {
    head();
    qCDebug(lcHead) << "talking";
    timers_->setTalktimer(true);
}

void CharacterHead::stopTalking() {
    head();
    timers_->setTalktimer(false);
}

bool CharacterHead::isShown() const {
    return window_ && window_->isVisible();
}

void CharacterHead::showRestFrame() {
    head();
    qCDebug(lcHead) << "rest frame";
    timers_->showRestFrame();
}

} // namespace qz
