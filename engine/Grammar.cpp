// The controller's operations on the command grammar; scripts call RebuildGrammar through "QZ".

#include "engine/Form1.h"

namespace qz {

void Form1::SetupGrammar() {
    const QString failure = m_commandGrammar.SetupGrammar(m_brainlist.records());
    if (!failure.isEmpty())
        m_stat->setText(failure);
}

void Form1::RebuildGrammar() {
    const QString failure = m_commandGrammar.RebuildGrammar(m_brainlist.records());
    if (!failure.isEmpty())
        m_stat->setText(failure);
}

} // namespace qz
