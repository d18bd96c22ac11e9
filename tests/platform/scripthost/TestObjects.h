#pragma once
// QObjects that stand for the program's script objects in the bridge tests.

#include "vbscript/ScriptError.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <stdexcept>

// Plays the controller: a property, methods of several argument types, an out-parameter like setvoice's.
class Controller : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int Count READ count)
    Q_PROPERTY(double Ratio MEMBER ratio)

public:
    QString caption() const { return caption_; }
    void setCaption(const QString& c) { caption_ = c; }
    int count() const { return 7; }
    double ratio = 0.5;
    QStringList log;
    QObject* childObject = nullptr;

    Q_INVOKABLE void speak(const QString& text) { log.append("speak:" + text); }
    Q_INVOKABLE QString describe(int n, double d, bool b, float f) {
        return QStringLiteral("%1|%2|%3|%4").arg(n).arg(d).arg(b).arg(f);
    }
    Q_INVOKABLE int add(int a, int b = 10) { return a + b; }
    // Like setvoice: values above 2 become 1, and the caller sees it.
    Q_INVOKABLE void setvoice(QVariant& n) {
        if (n.toFloat() > 2) n = 1;
        log.append("voice:" + n.toString());
    }
    Q_INVOKABLE void twice(float& f) { f *= 2; }
    Q_INVOKABLE void rename(QString& s) { s += "!"; }
    Q_INVOKABLE QVariant echo(const QVariant& v) { return v; }
    Q_INVOKABLE QStringList words(const QString& s) { return s.split(' '); }
    Q_INVOKABLE QObject* child() { return childObject; }
    Q_INVOKABLE void fail(int how) {
        switch (how) {
        case 1:
            throw vbscript::ScriptError(70, u"No access to the thing");
        case 2:
            throw std::invalid_argument("Bad key sequence");
        case 3:
            throw std::out_of_range("There is no setting 9");
        default:
            throw std::runtime_error("The program \"nothere\" was not found");
        }
    }

public slots:
    void reset() { log.append("reset"); }

signals:
    void changed();

private:
    QString caption_;
};

// Plays one control of the settings dialog.
class TextControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Text MEMBER text)
    Q_CLASSINFO("DefaultMember", "Text")

public:
    QString text;
};
