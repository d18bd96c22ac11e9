#pragma once
// A file's bytes read and written whole, for tests that check a file byte for byte.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace qz::test {

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace qz::test
