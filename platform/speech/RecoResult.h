#pragma once
// A recognition result's phrase information: the text, the grammar it came from and the property tree.

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

namespace qz {

// One property of a recognised phrase. Every transition along the recognised path adds one property at its
// level; a rule transition's property holds, as children, the properties of the referenced rule's path.
class PhraseProperty {
public:
    PhraseProperty() = default;
    PhraseProperty(QString name, int id, QVariant value, QList<PhraseProperty> children = {})
        : name_(std::move(name)), id_(id), value_(std::move(value)), children_(std::move(children)) {}

    const QString& Name() const { return name_; }
    int Id() const { return id_; }
    const QVariant& Value() const { return value_; }
    const QList<PhraseProperty>& Children() const { return children_; }
    // Out of range gives an empty property (id 0), so a result without a command property reads as 0.
    const PhraseProperty& Children(int index) const;
    int Count() const { return int(children_.size()); }

    bool operator==(const PhraseProperty& other) const;

private:
    QString name_;
    int id_ = 0;
    QVariant value_;
    QList<PhraseProperty> children_;
};

// What the Recognition and Hypothesis events carry; for a command,
// Properties(1).Children(0).Id() is the property id given to the spoken phrase.
class RecoResult {
public:
    RecoResult() = default;
    RecoResult(QString text, int grammarId, QList<PhraseProperty> properties = {})
        : text_(std::move(text)), grammarId_(grammarId), properties_(std::move(properties)) {}

    // The whole phrase's text; start 0 and count -1 mean every word. Replacements change nothing here.
    QString GetText(int startElement = 0, int elements = -1, bool useReplacements = true) const;
    int GrammarId() const { return grammarId_; }
    const QList<PhraseProperty>& Properties() const { return properties_; }
    // Out of range gives an empty property (id 0, no children).
    const PhraseProperty& Properties(int index) const;

    // Diagnostics for tools and benchmarks: the acceptance score (higher is surer) and the
    // milliseconds of audio that had been heard when the result was made.
    double score() const { return score_; }
    void setScore(double score) { score_ = score; }
    qint64 audioPositionMs() const { return audioPositionMs_; }
    void setAudioPositionMs(qint64 ms) { audioPositionMs_ = ms; }

private:
    QString text_;
    int grammarId_ = 0;
    QList<PhraseProperty> properties_;
    double score_ = 0;
    qint64 audioPositionMs_ = 0;
};

} // namespace qz

Q_DECLARE_METATYPE(qz::RecoResult)
