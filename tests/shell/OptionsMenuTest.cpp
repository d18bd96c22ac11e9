#include "shell/OptionsMenu.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(OptionsMenu, EntriesInOrder) {
    OptionsMenu menu;
    QStringList captions;
    for (QAction* a : menu.actions())
        captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions,
              (QStringList{"Show brain", "Activate functions", "Character Head", "About", "-", "Quit"}));
    EXPECT_EQ(menu.title(), "Options");
    QStringList heads;
    for (QAction* a : menu.ch()->actions())
        heads << a->text();
    EXPECT_EQ(heads, QStringList{"No head"});
    EXPECT_FALSE(menu.mnuSleep()->isEnabled()); // until a "sleep" command
    menu.setSleepEnabled(true);
    EXPECT_TRUE(menu.mnuSleep()->isEnabled());
    menu.setBrainEnabled(false);
    EXPECT_FALSE(menu.mnuBrain()->isEnabled());
}

TEST(AboutBox, OpensOnceFromTheMenuAndAClickClosesIt) {
    OptionsMenu menu;
    menu.mnuAbout()->trigger();
    QPointer<AboutBox> box = menu.aboutBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    menu.mnuAbout()->trigger();
    EXPECT_EQ(menu.aboutBox(), box.data()); // shown again, not a second box
    QStringList texts;
    for (QLabel* l : box->findChildren<QLabel*>())
        texts << l->text();
    EXPECT_TRUE(texts.contains("Quorzel"));
    EXPECT_TRUE(texts.contains("Quorzel version 4 BETA"));
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box, &click);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(box);
    menu.mnuAbout()->trigger();
    EXPECT_TRUE(menu.aboutBox()); // made anew
    menu.aboutBox()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace qz
