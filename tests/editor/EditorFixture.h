#pragma once

// The controller with the real settings dialog and the real interpreter, over a program folder holding
// real plugin files; every platform service but the dialog a fake.

#include "editor/Form2.h"
#include "editor/SettingsEditor.h"
#include "platform/fake/FakeFileChooser.h"
#include "platform/scripthost/ScriptObjectArray.h"
#include "tests/engine/EngineFixture.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QtTest/QTest>

namespace qz::test {

namespace design = vbscript::plugin;

class EditorFixture : public EngineFixture {
public:
    explicit EditorFixture(const QByteArray& brain = "Wake up|activate|At your service\r\n"
                                                     "Go quiet|deactivate|Standing by\r\n"
                                                     "Sleep now|sleep|Good night\r\n")
        : EngineFixture(brain), editor(files, dir.path()) {
        form.reset();
        services.editor = &editor;
        form = std::make_unique<Form1>(services);
        QObject::connect(&editor, &SettingsEditor::confirmed, form.get(), &Form1::addtobrain_Click);
    }
    ~EditorFixture() { form.reset(); }

    // A plugin that comes with the program.
    void shipPlugin(const QString& name) {
        QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/data/%1.qzp").arg(name),
                    dir.filePath("data/" + name + ".qzp"));
    }
    Form2& dialog() { return *editor.form(); }
    DialogControl* field(const design::ControlDesign& array, int index) {
        return editor.form() ? editor.form()->element(array, index) : nullptr;
    }
    int upperBound(const design::ControlDesign& array) { return dialog().upperBound(array); }
    // What the user types into a box.
    void type(const design::ControlDesign& array, int index, const QString& text) {
        auto* box = qobject_cast<QLineEdit*>(field(array, index)->widget());
        box->clear();
        QTest::keyClicks(box, text);
    }
    void click(DialogControl* button) {
        static_cast<QAbstractButton*>(button->widget())->click();
        // The click is delivered from the event loop, and what it runs yields once more.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void confirm() { click(dialog().confirmButton()); }
    QByteArray brainFile() const { return readFile("data/brain.qzb"); }

    FakeFileChooser files;
    SettingsEditor editor;
};

} // namespace qz::test
