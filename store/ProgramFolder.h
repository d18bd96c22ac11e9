#pragma once

#include <QString>

namespace qz {

// The program folder (the folder of the executable) and the files the program keeps in it. Every path is
// the folder followed by a fixed relative path with forward slashes; nothing here touches the disk.
class ProgramFolder {
public:
    explicit ProgramFolder(QString root = {});

    const QString& root() const { return root_; }

    QString dataFolder() const;                       // data
    QString commandFile() const;                      // data/brain.qzb
    QString pluginFile(const QString& plugin) const;  // data/<plugin>.qzp
    QString pluginIcon(const QString& plugin) const;  // data/<plugin>.bmp
    QString characterFolder() const;                  // character
    QString characterFile(const QString& head) const; // character/<head>.qzc
    QString currentHeadFile() const;                  // character/currenthead.qzs

private:
    QString root_;
};

} // namespace qz
