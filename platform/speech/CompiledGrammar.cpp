#include "CompiledGrammar.h"

#include <QRegularExpression>

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
    QString spaced = text;
    for (QChar c : separators)
        if (c != ' ') spaced.replace(c, ' ');
    QStringList words;
    for (const QString& raw : spaced.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        // Keep letters, digits and inner apostrophes/hyphens; punctuation around a word is not spoken.
        QString w;
        for (QChar c : raw.toLower())
            if (c.isLetterOrNumber() || c == '\'' || c == '-') w += c;
        while (!w.isEmpty() && (w.front() == '\'' || w.front() == '-'))
            w.remove(0, 1);
        while (!w.isEmpty() && (w.back() == '\'' || w.back() == '-'))
            w.chop(1);
        if (!w.isEmpty()) words << w;
    }
    return words;
}

} // namespace qz
