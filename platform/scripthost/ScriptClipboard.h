#pragma once
// The "clipboard" object that plugin scripts get: GetText, SetText and Clear over a Clipboard.
// The optional format arguments are accepted for old scripts; only text is offered.

#include "platform/desktop/Clipboard.h"

#include <QObject>

namespace qz {

class ScriptClipboard : public QObject {
    Q_OBJECT

public:
    // `clipboard` must outlive this object.
    explicit ScriptClipboard(Clipboard& clipboard, QObject* parent = nullptr);

    Q_INVOKABLE QString GetText(int format = 1) const;
    Q_INVOKABLE void SetText(const QString& text, int format = 1);
    Q_INVOKABLE void Clear();

private:
    Clipboard& clipboard_;
};

} // namespace qz
