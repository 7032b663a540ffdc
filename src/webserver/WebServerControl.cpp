#include "webserver/WebServerControl.h"

#include "core/UserMessages.h"
#include "webserver/WebServer.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>

WebServerControl::WebServerControl(WebServer& server, UserMessages& messages, QObject* parent)
    : QObject(parent), server_(server), messages_(messages) {}

void WebServerControl::cbWebClick(bool ticked, const QString& address, const QString& portText) {
    bool failed = false;
    if (ticked && !server_.isActive()) {
        const int port = portFromText(portText);
        QString reason;
        if (!server_.start(address, port, &reason)) {
            failed = true;
            const QString where =
                address.trimmed().isEmpty() ? QStringLiteral("every address") : address.trimmed();
            messages_.inform(QStringLiteral("The web server could not start on %1, port %2: %3.")
                                 .arg(where, QString::number(port), reason));
        }
    } else if (!ticked) {
        server_.stop();
    }
    publish(ticked);
    if (failed)
        Q_EMIT startFailed();
}

void WebServerControl::shutDown() {
    server_.stop();
    publish(false);
}

void WebServerControl::publish(bool ticked) {
    boxesEnabled_ = !server_.isActive();
    indicatorVisible_ = ticked && server_.isActive();
    Q_EMIT boxesEnabledChanged(boxesEnabled_);
    Q_EMIT indicatorVisibleChanged(indicatorVisible_);
}

bool WebServerControl::setWebFolder(const QString& folder, const QString& programFolder,
                                    const QStringList& privateFiles) {
    server_.setPrivateFiles(privateFiles);
    if (!folder.isEmpty() && holdsFolder(folder, programFolder)) {
        server_.setWebFolder(QString());
        messages_.inform(folderRefusal(folder));
        return false;
    }
    server_.setWebFolder(folder);
    return true;
}

bool WebServerControl::holdsFolder(const QString& outer, const QString& inner) {
    const auto resolved = [](const QString& path) {
        const QFileInfo info(path);
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    };
    const QString o = resolved(outer), i = resolved(inner);
    return o == i || o == QLatin1String("/") || i.startsWith(o + QLatin1Char('/'));
}

QString WebServerControl::folderRefusal(const QString& folder) {
    return QStringLiteral("The web folder %1 holds the program's own folder, with its settings "
                          "file: nothing is served from it. Choose another folder in More "
                          "Advanced Settings.")
        .arg(QDir::toNativeSeparators(folder));
}

void WebServerControl::boxWebAddressExit(const QString& text) {
    if (!isValidAddress(text))
        messages_.inform(text + QStringLiteral(" is not a valid IP address."));
}

bool WebServerControl::isValidAddress(const QString& text) {
    const QStringList fields = text.trimmed().split(u'.');
    if (fields.size() < 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        const QString& f = fields[i];
        bool ok = !f.isEmpty();
        for (const QChar c : f)
            ok = ok && c.isDigit() && c.unicode() < 128;
        if (!ok || f.toInt(&ok) > 255 || !ok)
            return false;
    }
    return true;
}

int WebServerControl::portFromText(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok ? port : kDefaultPort;
}

std::optional<QString> WebServerControl::checkedPort(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QString();
    bool ok = false;
    const int port = trimmed.toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        return std::nullopt;
    return QString::number(port);
}

QString WebServerControl::portRefusal(const QString& text) {
    return text + QStringLiteral(" is not a valid port: it must be a number from 1 to 65535.");
}

QSize WebServerControl::webImageSize(const QString& widthText, const QString& heightText) {
    auto read = [](const QString& text, int fallback) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        return ok && v >= 1 && v <= 10000 ? v : fallback;
    };
    return {read(widthText, 500), read(heightText, 300)};
}

QStringList WebServerControl::addressList() {
    return addressList(QNetworkInterface::allInterfaces());
}

QStringList WebServerControl::addressList(const QList<QNetworkInterface>& interfaces) {
    QStringList out;
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : i.addressEntries()) {
            const QHostAddress a = e.ip();
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
                out << a.toString();
        }
    }
    out.removeDuplicates();
    out << QStringLiteral("127.0.0.1");
    return out;
}

QString WebServerControl::startupAddress(const QStringList& addresses, const QString& stored) {
    // A stored loopback address is a choice to serve this machine only: swapping it for the
    // network address would open the server to the whole network.
    if (QHostAddress(stored.trimmed()).isLoopback())
        return stored;
    QStringList own = addresses;
    own.removeAll(QStringLiteral("127.0.0.1"));
    return own.size() == 1 ? own.first() : stored;
}
