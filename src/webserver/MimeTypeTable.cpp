#include "webserver/MimeTypeTable.h"

#include <QMimeDatabase>
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

} // namespace

MimeTypeTable::MimeTypeTable() {
    for (const auto& [ext, type] : kBuiltIn)
        types_[ext] = type;

    // The system's registrations replace built-in rows for the same extension. Where several
    // types claim one extension, the database's own choice for a file of that name wins.
    const QMimeDatabase db;
    QStringList extensions;
    for (const QMimeType& type : db.allMimeTypes())
        for (const QString& suffix : type.suffixes())
            if (!suffix.isEmpty() && !suffix.contains(u'.')) // only the last extension counts
                extensions << u'.' + suffix.toLower();
    extensions.removeDuplicates();
    for (const QString& ext : extensions) {
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
