#include "platform/speech/CompiledGrammar.h"

namespace qz {

bool CompiledPhrase::operator==(const CompiledPhrase& o) const {
    if (grammarId != o.grammarId || ruleName != o.ruleName || text != o.text || words != o.words ||
        properties.size() != o.properties.size())
        return false;
    for (qsizetype i = 0; i < properties.size(); ++i)
        if (!(properties[i] == o.properties[i])) return false;
    return true;
}

bool CompiledGrammar::operator==(const CompiledGrammar& o) const {
    if (dictation != o.dictation || dictationGrammarId != o.dictationGrammarId ||
        phrases.size() != o.phrases.size())
        return false;
    for (qsizetype i = 0; i < phrases.size(); ++i)
        if (!(phrases[i] == o.phrases[i])) return false;
    return true;
}

int CompiledGrammar::find(const QStringList& words) const {
    for (int i = 0; i < phrases.size(); ++i)
        if (phrases[i].words == words) return i;
    return -1;
}

RecoResult CompiledGrammar::resultFor(int phraseIndex) const {
    if (phraseIndex < 0 || phraseIndex >= phrases.size()) return {};
    const CompiledPhrase& p = phrases[phraseIndex];
    return RecoResult(p.text, p.grammarId, p.properties);
}

QStringList normalizeWords(const QString& text, const QString& separators) {
    // Called once per command on every grammar rebuild, so it scans by hand rather than with a regex.
    QStringList words;
    QString w;
    auto finish = [&] {
        // Keep letters, digits and inner apostrophes/hyphens; punctuation around a word is not spoken.
        qsizetype from = 0, to = w.size();
        while (from < to && (w[from] == '\'' || w[from] == '-'))
            ++from;
        while (to > from && (w[to - 1] == '\'' || w[to - 1] == '-'))
            --to;
        if (from < to) words << w.mid(from, to - from);
        w.clear();
    };
    bool inWord = false;
    for (QChar c : text) {
        if (c.isSpace() || separators.contains(c)) {
            if (inWord) finish();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c.isLetterOrNumber() || c == '\'' || c == '-') w += c.toLower();
    }
    if (inWord) finish();
    return words;
}

} // namespace qz
