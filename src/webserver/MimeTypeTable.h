#pragma once
// Content type of a served file by its extension: a built-in list of common extensions, then the
// types the system has registered (shared-mime-info's extensions, each typed by QMimeDatabase).
// Filled once; read by request threads without locks, so it never changes after construction.
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>

class MimeTypeTable {
public:
    MimeTypeTable();

    // The type for a path's extension (lower-cased, with its dot); "application/octet-stream"
    // for a path without one or with one nobody registered.
    QString GetMIMEType(const QString& path) const;
    const std::string& typeForPath(std::string_view path) const;

    std::size_t size() const { return types_.size(); }

private:
    std::unordered_map<std::string, std::string> types_;
};
