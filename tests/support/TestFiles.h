#pragma once
// Whole-file reads and writes for tests that set up or inspect files.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A router page from the test fixtures (tests/fixtures/pages).
inline QString fixturePage(const QString& name) {
    return QString::fromUtf8(
        readFile(qEnvironmentVariable("LINTROVE_FIXTURES") + "/pages/" + name));
}
