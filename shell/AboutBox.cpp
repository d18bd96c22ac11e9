#include "shell/AboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

namespace qz {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("about"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setFixedSize(106, 70);
    picture->setPixmap(QPixmap(QStringLiteral(":/quorzel/about.png")));

    auto* product = new QLabel(QStringLiteral("Quorzel"), this);
    product->setObjectName(QStringLiteral("product"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    product->setFont(big);

    auto* version = new QLabel(QStringLiteral("Quorzel version 4 BETA"), this);
    version->setObjectName(QStringLiteral("version"));

    auto* credits = new QLabel(QStringLiteral("Made by the Quorzel team, 2026.\n"
                                              "An offline voice-command assistant for the Linux desktop.\n"
                                              "Programming: the Quorzel developers.\n"
                                              "Thanks to the people behind PocketSphinx, eSpeak NG and Qt,\n"
                                              "and to everyone who tried the early builds.\n"
                                              "Click anywhere to close."),
                               this);
    credits->setObjectName(QStringLiteral("credits"));

    auto* heading = new QVBoxLayout;
    heading->addWidget(product);
    heading->addWidget(version);
    heading->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(heading);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(credits);

    // Clicks on the labels count as clicks on the box.
    for (QLabel* label : findChildren<QLabel*>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AboutBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

} // namespace qz
