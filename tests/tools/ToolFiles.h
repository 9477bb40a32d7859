#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// A file's bytes; empty when it cannot be read.
inline QByteArray contents(const QString &file) {
    QFile read(file);
    return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray();
}
inline void writeFile(const QString &file, const QByteArray &bytes) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    out.write(bytes);
}
inline QString inDirectory(const QString &directory, const QString &name) {
    return QDir(directory).filePath(name);
}
