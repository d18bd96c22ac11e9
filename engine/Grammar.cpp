// The controller's operations on the command grammar; scripts call RebuildGrammar through "QZ".

#include "engine/Form1.h"

namespace qz {

void Form1::SetupGrammar() {
    const QString failure = commandGrammar_.SetupGrammar(brainlist_.records());
    if (!failure.isEmpty()) stat_->setText(failure);
}

void Form1::RebuildGrammar() {
    const QString failure = commandGrammar_.RebuildGrammar(brainlist_.records());
    if (!failure.isEmpty()) stat_->setText(failure);
}

} // namespace qz
