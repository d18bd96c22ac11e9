#pragma once
// A grammar flattened into the phrases it accepts, each with the properties its path carries: what a
// recogniser backend listens for, and how a recognised word sequence maps back to its property ids.

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/speech/RecoResult.h"

namespace qz {

struct CompiledPhrase {
    int grammarId = 0;
    QString ruleName;
    QString text;      // the words as written, joined by single blanks (what GetText returns)
    QStringList words; // normalised words (see normalizeWords), what is matched against speech
    QList<PhraseProperty> properties;
    bool operator==(const CompiledPhrase& other) const;
};

struct CompiledGrammar {
    QList<CompiledPhrase> phrases;
    bool dictation = false;
    int dictationGrammarId = 1;

    bool isEmpty() const { return phrases.isEmpty() && !dictation; }
    // Index of the first phrase whose words are `words`, or -1.
    int find(const QStringList& words) const;
    RecoResult resultFor(int phraseIndex) const;
    bool operator==(const CompiledGrammar& other) const;
};

// Lower-cases and splits a phrase into words on blanks and on `separators`, dropping punctuation around
// words; "Volume  Up!" -> {"volume", "up"}. Inner apostrophes and hyphens stay ("don't", "e-mail").
QStringList normalizeWords(const QString& text, const QString& separators = " ");

// Limits on flattening, so that a looping or deeply nested grammar cannot exhaust memory. A rule yields at
// most its grammar's own size (one phrase per transition, so a plain list of any length is complete) plus
// kMaxExpandedPhrases more from combining choices (loops, sequences of rule references).
constexpr int kMaxExpandedPhrases = 20000;
constexpr int kMaxPathLength = 64;

} // namespace qz
