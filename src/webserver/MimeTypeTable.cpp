#include "webserver/MimeTypeTable.h"

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace {

const std::string kOctetStream = "application/octet-stream";

// Common extensions, so that a machine without shared-mime-info still serves them properly.
constexpr std::pair<const char*, const char*> kBuiltIn[] = {
    {".jpg", "image/jpeg"},
    {".jpeg", "image/jpeg"},
    {".jpe", "image/jpeg"},
    {".png", "image/png"},
    {".gif", "image/gif"},
    {".bmp", "image/bmp"},
    {".ico", "image/vnd.microsoft.icon"},
    {".svg", "image/svg+xml"},
    {".webp", "image/webp"},
    {".htm", "text/html"},
    {".html", "text/html"},
    {".css", "text/css"},
    {".txt", "text/plain"},
    {".csv", "text/csv"},
    {".xml", "application/xml"},
    {".js", "text/javascript"},
    {".json", "application/json"},
    {".pdf", "application/pdf"},
    {".zip", "application/zip"},
    {".gz", "application/gzip"},
    {".mp4", "video/mp4"},
    {".wav", "audio/x-wav"},
    {".mp3", "audio/mpeg"},
};

std::string_view extensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

// The extensions the system registers, from shared-mime-info's glob lists ("weight:type:*.ext"
// lines). Only the extensions are taken from there; which type wins for each is the database's
// choice. Asking the database for every type's suffixes instead would load the description of
// every type, in every language, and keep it for the program's life (some 8 MiB).
QStringList registeredExtensions() {
    QStringList extensions;
    const QStringList lists = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                        QStringLiteral("mime/globs2"));
    for (const QString& path : lists) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue; // a list we may not read adds nothing; the others still count
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.startsWith('#'))
                continue;
            const QList<QByteArray> fields = line.split(':');
            if (fields.size() < 3 || !fields[2].startsWith("*."))
                continue;
            const QString ext = QString::fromUtf8(fields[2].mid(1)).toLower();
            // Only the last extension counts, and only a plain one: no wildcards.
            static const QRegularExpression plain(QStringLiteral("^\\.[^.*?\\[]+$"));
            if (plain.match(ext).hasMatch())
                extensions << ext;
        }
    }
    extensions.removeDuplicates();
    return extensions;
}

} // namespace

MimeTypeTable::MimeTypeTable() {
    for (const auto& [ext, type] : kBuiltIn)
        types_[ext] = type;

    // The system's registrations replace built-in rows for the same extension. Where several
    // types claim one extension, the database's own choice for a file of that name wins.
    const QMimeDatabase db;
    for (const QString& ext : registeredExtensions()) {
        const QMimeType type =
            db.mimeTypeForFile(QStringLiteral("x") + ext, QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault())
            types_[ext.toStdString()] = type.name().toStdString();
    }
}

const std::string& MimeTypeTable::typeForPath(std::string_view path) const {
    std::string ext(extensionOf(path));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    const auto it = ext.empty() ? types_.end() : types_.find(ext);
    return it == types_.end() ? kOctetStream : it->second;
}

QString MimeTypeTable::GetMIMEType(const QString& path) const {
    return QString::fromStdString(typeForPath(path.toStdString()));
}
