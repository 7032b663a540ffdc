#include "core/DesktopShell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(DesktopShellUrl, PathsBecomeFileUrlsAndAddressesStay) {
    const struct {
        const char* given;
        const char* expected; // full URL text
    } cases[] = {
        {"/tmp/a b#1.txt", "file:///tmp/a b%231.txt"},
        {"/opt/lt/lintrove5a.html", "file:///opt/lt/lintrove5a.html"},
        {"http://127.0.0.1:81/noise.jpg", "http://127.0.0.1:81/noise.jpg"},
        {"https://127.0.0.1/x?y=1#z", "https://127.0.0.1/x?y=1#z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopShell::urlFor(QString::fromUtf8(c.given)).toString(),
                  QString::fromUtf8(c.expected))
            << c.given;

    // Relative names, also with a colon, are files of the working folder.
    for (const char* relative : {"log.txt", "notes:2024.txt"}) {
        const QUrl url = DesktopShell::urlFor(QString::fromUtf8(relative));
        EXPECT_TRUE(url.isLocalFile()) << relative;
        EXPECT_EQ(url.toLocalFile(), QDir::current().absoluteFilePath(QString::fromUtf8(relative)));
    }
}

class TrashFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dataHome.isValid());
        ASSERT_TRUE(files.isValid());
        saved = qgetenv("XDG_DATA_HOME");
        hadSaved = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    }
    void TearDown() override {
        if (hadSaved)
            qputenv("XDG_DATA_HOME", saved);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    QTemporaryDir dataHome, files;
    QByteArray saved;
    bool hadSaved = false;
};

TEST_F(TrashFolder, MovedFileCanBeRestoredFromTheTrash) {
    const QString path = files.filePath(QStringLiteral("Ltrv-20240305-140709.jpg"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("jpeg bytes");
    }
    DesktopShell shell;
    EXPECT_TRUE(shell.moveToTrash(path));
    EXPECT_FALSE(QFile::exists(path));

    const QDir trash(dataHome.filePath(QStringLiteral("Trash")));
    QFile trashed(trash.filePath(QStringLiteral("files/Ltrv-20240305-140709.jpg")));
    ASSERT_TRUE(trashed.open(QIODevice::ReadOnly));
    EXPECT_EQ(trashed.readAll(), QByteArray("jpeg bytes"));
    QFile info(trash.filePath(QStringLiteral("info/Ltrv-20240305-140709.jpg.trashinfo")));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("Path=" + QUrl::toPercentEncoding(path, "/")));

    EXPECT_FALSE(shell.moveToTrash(files.filePath(QStringLiteral("missing.jpg"))));
}

TEST(DesktopShellFolder, CancelGivesNothingAndAcceptGivesThePath) {
    QTemporaryDir start;
    ASSERT_TRUE(start.isValid());
    ASSERT_TRUE(QDir(start.path()).mkdir(QStringLiteral("pick")));
    const QString pick = start.filePath(QStringLiteral("pick"));
    DesktopShell shell;

    QString title, shownFolder;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        shownFolder = dialog->directory().absolutePath();
        dialog->reject();
    });
    EXPECT_EQ(shell.chooseFolder(nullptr, QStringLiteral("Select folder"), start.path(), true),
              QString());
    EXPECT_EQ(title, QStringLiteral("Select folder"));
    EXPECT_EQ(shownFolder, start.path());

    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(pick);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(shell.chooseFolder(nullptr, QStringLiteral("Select a folder"), start.path(), false),
              pick);
}

// The help is opened "watched": a desktop whose xdg-open starts but cannot show the document
// must be noticed, since Qt counts the start alone as success.
class WatchedOpen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bin.isValid());
        savedPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
    }
    void TearDown() override { qputenv("PATH", savedPath); }

    // An xdg-open that notes its process and argument, then ends with exitCode.
    void fakeXdgOpen(int exitCode) {
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s %s' \"$$\" \"$1\" > \"%1\"\nexit %2\n")
                         .arg(bin.filePath(QStringLiteral("asked")))
                         .arg(exitCode)
                         .toUtf8());
        script.close();
        ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    // Waits until the fake has run and its process has been reaped, which is when its end is
    // reported; returns its argument.
    QString waitForFake() {
        QFile asked(bin.filePath(QStringLiteral("asked")));
        EXPECT_TRUE(QTest::qWaitFor([&] { return asked.exists() && asked.size() > 0; }, 30000));
        EXPECT_TRUE(asked.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(asked.readAll());
        const QString pid = text.section(QLatin1Char(' '), 0, 0);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !QFile::exists(QStringLiteral("/proc/") + pid); }, 30000));
        QCoreApplication::processEvents();
        return text.section(QLatin1Char(' '), 1);
    }

    QTemporaryDir bin;
    QByteArray savedPath;
    DesktopShell shell;
    const QString document = QStringLiteral("/opt/lt/lintrove5a help.html");
};

TEST_F(WatchedOpen, AFailingLauncherIsReportedAndASucceedingOneIsNot) {
    const struct {
        int exitCode;
        int failures;
    } cases[] = {{3, 1}, {4, 1}, {0, 0}};
    for (const auto& c : cases) {
        QFile::remove(bin.filePath(QStringLiteral("asked")));
        fakeXdgOpen(c.exitCode);
        QObject context;
        int failures = 0;
        shell.openWatched(document, &context, [&] { ++failures; });
        EXPECT_EQ(waitForFake(), QStringLiteral("file:///opt/lt/lintrove5a%20help.html"));
        EXPECT_EQ(failures, c.failures) << c.exitCode;
    }
}

TEST_F(WatchedOpen, NoLauncherIsAFailure) {
    // The offscreen platform has no other way to open a document either.
    int failures = 0;
    QObject context;
    shell.openWatched(document, &context, [&] { ++failures; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return failures > 0; }, 5000));
    EXPECT_EQ(failures, 1);
}

TEST_F(WatchedOpen, AFailureAfterItsAskerIsGoneIsNotReported) {
    fakeXdgOpen(3);
    int failures = 0;
    auto context = std::make_unique<QObject>();
    shell.openWatched(document, context.get(), [&] { ++failures; });
    context.reset();
    waitForFake();
    EXPECT_EQ(failures, 0);
}

} // namespace
