#pragma once
// A shared recognition context: its grammars and its Recognition and Hypothesis events (UI thread).
// Made by Recognizer::createContext(); making the next one releases this one: its events stop and its
// grammars no longer reach the recogniser. It is safe to replace or destroy a context from inside
// one of its own event handlers.

#include <deque>
#include <memory>

#include <QObject>
#include <QPointer>

#include "platform/speech/RecoGrammar.h"
#include "platform/speech/RecoResult.h"
#include "platform/speech/Recognizer.h"

namespace qz {

enum RecognitionType { SRTStandard = 0 };

class RecoContext : public QObject {
    Q_OBJECT
public:
    ~RecoContext() override;

    // Grammar id 0 for commands, 1 for dictation; results of this grammar report that id.
    RecoGrammar* CreateGrammar(int id = 0);
    const std::deque<std::unique_ptr<RecoGrammar>>& grammars() const { return grammars_; }

    // False once a newer context was created (or the recogniser is gone).
    bool isCurrent() const;
    Recognizer* recognizer() const { return recognizer_; }

    // The union of every grammar's active parts: what this context asks the recogniser to hear.
    CompiledGrammar listenedFor() const;

signals:
    void Recognition(int streamNumber, qint64 streamPosition, int recognitionType,
                     const qz::RecoResult& result);
    void Hypothesis(int streamNumber, qint64 streamPosition, const qz::RecoResult& result);
    // Speech was heard but judged not to be any phrase listened for (the result may be empty).
    void FalseRecognition(int streamNumber, qint64 streamPosition, const qz::RecoResult& result);

private:
    friend class Recognizer;
    friend class RecoGrammar;
    explicit RecoContext(Recognizer* recognizer);
    void grammarChanged(); // a grammar's committed or active content changed: tell the recogniser

    QPointer<Recognizer> recognizer_;
    std::deque<std::unique_ptr<RecoGrammar>> grammars_;
};

} // namespace qz
