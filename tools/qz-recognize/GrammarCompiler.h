#pragma once
// Builds the program's command grammar from a list of phrases, through the same object model the engine
// uses, and hands back what the recogniser would be asked to listen for.

#include <QStringList>

#include "platform/speech/CompiledGrammar.h"

namespace qz {

// Phrase i carries property id i; empty lines keep their index but can never be heard.
CompiledGrammar compileCommandGrammar(const QStringList& phrases);

} // namespace qz
