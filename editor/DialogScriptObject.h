#pragma once
// "dialog": the settings dialog as its plugin's script sees it. Its controls are its members under their
// names (`dialog.Checkbox(1)`, or `Checkbox(1)` alone, since its members are global to the script), beside
// the window's caption, client size in twips and `dialogplugin`. It has no `Left`: made global, that
// would hide the script language's own Left function.

#include <QObject>
#include <QString>

namespace qz {

class Form2;

class DialogScriptObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* Textbox READ Textbox)
    Q_PROPERTY(QObject* Labelthing READ Labelthing)
    Q_PROPERTY(QObject* Checkbox READ Checkbox)
    Q_PROPERTY(QObject* bp1 READ bp1)
    Q_PROPERTY(QObject* bp2 READ bp2)
    Q_PROPERTY(QObject* addtobrain READ addtobrain)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(QString dialogplugin READ dialogplugin WRITE setDialogplugin)

public:
    explicit DialogScriptObject(Form2& form);

    QObject* Textbox() const;
    QObject* Labelthing() const;
    QObject* Checkbox() const;
    QObject* bp1() const;
    QObject* bp2() const;
    QObject* addtobrain() const;
    QString Caption() const;
    void setCaption(const QString& caption);
    // The client area, in twips; a new size moves the confirm button to the new corner.
    int Width() const;
    void setWidth(int twips);
    int Height() const;
    void setHeight(int twips);
    QString dialogplugin() const;
    void setDialogplugin(const QString& plugin);

private:
    Form2& form_;
};

} // namespace qz
