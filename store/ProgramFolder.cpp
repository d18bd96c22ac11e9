#include "store/ProgramFolder.h"

namespace qz {

ProgramFolder::ProgramFolder(QString root) : root_(std::move(root)) {}

QString ProgramFolder::dataFolder() const {
    return root_ + QStringLiteral("/data");
}

QString ProgramFolder::commandFile() const {
    return root_ + QStringLiteral("/data/brain.qzb");
}

QString ProgramFolder::pluginFile(const QString& plugin) const {
    return root_ + QStringLiteral("/data/") + plugin + QStringLiteral(".qzp");
}

QString ProgramFolder::pluginIcon(const QString& plugin) const {
    return root_ + QStringLiteral("/data/") + plugin + QStringLiteral(".bmp");
}

QString ProgramFolder::characterFolder() const {
    return root_ + QStringLiteral("/character");
}

QString ProgramFolder::characterFile(const QString& head) const {
    return root_ + QStringLiteral("/character/") + head + QStringLiteral(".qzc");
}

QString ProgramFolder::currentHeadFile() const {
    return root_ + QStringLiteral("/character/currenthead.qzs");
}

} // namespace qz
