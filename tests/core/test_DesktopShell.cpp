#include "core/DesktopShell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

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

} // namespace
