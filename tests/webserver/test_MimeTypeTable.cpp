// Content types: the fixed rows, lower-casing, and what counts as the extension.
#include "webserver/MimeTypeTable.h"

#include <QMimeDatabase>
#include <gtest/gtest.h>

TEST(MimeTypeTable, TypesByExtension) {
    const MimeTypeTable table;
    const std::pair<const char*, const char*> cases[] = {
        {"/w/noise.jpg", "image/jpeg"},
        {"/w/a.jpeg", "image/jpeg"},
        {"/w/a.jpe", "image/jpeg"},
        {"/w/NOISE.JPG", "image/jpeg"},
        {"/w/a.htm", "text/html"},
        {"/w/a.HTML", "text/html"},
        {"/w/a.gif", "image/gif"},
        {"/w/a.css", "text/css"},
        {"/w/a.txt", "text/plain"},
        {"/w/a.png", "image/png"},
        {"/w/old.html.zzqqx", "application/octet-stream"}, // only the last extension counts
        {"/w/no-extension", "application/octet-stream"},
        {"/w/ends-in-dot.", "application/octet-stream"},
        {"/w/folder.jpg/file",
         "application/octet-stream"}, // a dot in a folder name is no extension
        {"", "application/octet-stream"},
    };
    for (const auto& [path, type] : cases)
        EXPECT_EQ(table.GetMIMEType(QString::fromUtf8(path)), QString::fromUtf8(type)) << path;
}

TEST(MimeTypeTable, SystemTypesAddExtensionsBeyondTheBuiltInList) {
    const MimeTypeTable table;
    EXPECT_GT(table.size(), 100u); // shared-mime-info registers hundreds
    EXPECT_EQ(table.GetMIMEType(QStringLiteral("a.odt")),
              QStringLiteral("application/vnd.oasis.opendocument.text"));
}

// Every extension the database knows through its types' suffixes is in the table with the type
// the database itself gives a file of that name: the table reads only the glob lists for its
// extensions, and must miss none of them.
TEST(MimeTypeTable, HoldsTheDatabasesChoiceForEveryRegisteredExtension) {
    const MimeTypeTable table;
    const QMimeDatabase db;
    int checked = 0;
    for (const QMimeType& type : db.allMimeTypes())
        for (const QString& suffix : type.suffixes()) {
            if (suffix.isEmpty() || suffix.contains(u'.'))
                continue;
            const QString name = QStringLiteral("x.") + suffix.toLower();
            const QMimeType chosen = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
            if (!chosen.isValid() || chosen.isDefault())
                continue;
            EXPECT_EQ(table.GetMIMEType(name), chosen.name()) << name.toStdString();
            ++checked;
        }
    if (checked == 0)
        GTEST_SKIP() << "no shared-mime-info on this machine";
}
