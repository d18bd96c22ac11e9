// The real file chooser: its title and its one filter as the user sees them, every file listed (names
// without a dot too), the last file preselected, centred on the screen, and a cancel giving nothing.

#include "platform/window/QtFileChooser.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(QtFileChooser, ShowsItsWordsListsEveryFileAndIsCentred) {
    QTemporaryDir dir;
    QString title, filter;
    bool listsDotless = false;
    QPoint centre, screenCentre;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        title = dialog->windowTitle();
        if (auto* box = dialog->findChild<QComboBox*>("fileTypeCombo")) filter = box->currentText();
        // "*.*" would hide "gedit".
        if (auto* model = dialog->findChild<QFileSystemModel*>())
            listsDotless = model->nameFilters() == QStringList{"*"};
        centre = dialog->frameGeometry().center();
        screenCentre = dialog->screen()->geometry().center();
        dialog->reject();
    });
    FileRequest request{"Chose a file or an executable", "All files and executables (*.*)", "*.*",
                        dir.path() + "/", ""};
    // Its owner in a corner: the chooser still comes up in the middle of the screen.
    QWidget owner;
    owner.setGeometry(0, 0, 200, 100);
    owner.show();
    QtFileChooser chooser;
    EXPECT_EQ(chooser.chooseFile(&owner, request), std::nullopt);
    EXPECT_EQ(title, "Chose a file or an executable");
    EXPECT_EQ(filter, "All files and executables (*.*)");
    EXPECT_TRUE(listsDotless);
    EXPECT_LE((centre - screenCentre).manhattanLength(), 2);
}

TEST(QtFileChooser, StartsAtTheLastFileAndReturnsItsFullPath) {
    QTemporaryDir dir;
    QFile f(dir.filePath("mail.sh"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QStringList preselected;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        preselected = dialog->selectedFiles();
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    FileRequest request{"Chose a file or an executable", "All files and executables (*.*)", "*.*", "/",
                        dir.filePath("mail.sh")};
    QtFileChooser chooser;
    EXPECT_EQ(chooser.chooseFile(nullptr, request), dir.filePath("mail.sh"));
    EXPECT_EQ(preselected, QStringList{dir.filePath("mail.sh")});
}

} // namespace
} // namespace qz
