// The controller's operations on the command grammar; scripts call RebuildGrammar through "QZ".

#include "engine/Form1.h"

#include <QLocale>

namespace qz {

void Form1::SetupGrammar() {
    const QString failure = commandGrammar_.SetupGrammar(brainlist_.records());
    if (!failure.isEmpty()) stat_->setText(failure);
    tellLeftOut();
}

void Form1::RebuildGrammar() {
    const QString failure = commandGrammar_.RebuildGrammar(brainlist_.records());
    if (!failure.isEmpty()) stat_->setText(failure);
    tellLeftOut();
}

void Form1::tellLeftOut() {
    // Told once a run each: the grammar is rebuilt after every change and at every end of speech.
    const CommandGrammar::LeftOut& left = commandGrammar_.leftOut();
    const QLocale english(QLocale::English);
    if (left.beyondCount > 0 && !toldTooMany_) {
        toldTooMany_ = true;
        services_.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral(
                "Your command file\n%1\nholds %2 commands. Quorzel listens for at most %3 phrases, so "
                "the last %4 commands cannot be said. They stay in the list and in the file.")
                .arg(brainlist_.filePath(), english.toString(brainlist_.count()),
                     english.toString(CommandGrammar::kMaxPhrases), english.toString(left.beyondCount)));
    }
    if (left.tooLong > 0 && !toldTooLong_) {
        toldTooLong_ = true;
        services_.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral(
                "%1 of your commands in\n%2\nhave a phrase longer than %3 characters. Quorzel does "
                "not listen for them; they stay in the list and in the file.")
                .arg(english.toString(left.tooLong), brainlist_.filePath(),
                     english.toString(CommandGrammar::kMaxPhraseLength)));
    }
}

} // namespace qz
