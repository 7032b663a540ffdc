#pragma once
// What the "Web server" box and its address, port and image-size boxes do, without the window:
// switching the server on and off, which boxes are enabled, the toolbar indicator, the address
// check and the address list. The Configure tab binds its controls to it.
#include <QList>
#include <QNetworkInterface>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <optional>

class UserMessages;
class WebServer;

class WebServerControl : public QObject {
    Q_OBJECT
public:
    WebServerControl(WebServer& server, UserMessages& messages, QObject* parent = nullptr);

    // Port 81 and the like need privileges on Linux; a normal user can open this one.
    static constexpr int kDefaultPort = 8081;

    // cbWebClick, also when start-up sets the box. Ticked and off: start on the address and the
    // port text (kDefaultPort when it is not a whole number); a failed start shows one message
    // naming the address, the port and the reason, and asks for the box to be unticked
    // (startFailed), so that ticking it again tries again. Unticked: stop.
    void cbWebClick(bool ticked, const QString& address, const QString& portText);
    // At close, before anything the request threads read goes away.
    void shutDown();

    // Address box, its ":" label and the port box: enabled exactly while the server is off.
    bool boxesEnabled() const { return boxesEnabled_; }
    // Image3: the box is ticked and the server listens.
    bool indicatorVisible() const { return indicatorVisible_; }

    // The folder served, unless it is the program folder or holds it: the settings file (with
    // the router's password, only scrambled) and the instance lock live there. A refused folder
    // is said in a message and nothing is served until another is chosen. The private files are
    // never served from any folder. Returns whether the folder was taken.
    bool setWebFolder(const QString& folder, const QString& programFolder,
                      const QStringList& privateFiles);
    // Whether outer is inner or one of the folders it lies in, links resolved where they exist.
    static bool holdsFolder(const QString& outer, const QString& inner);
    static QString folderRefusal(const QString& folder);

    // boxWebAddressExit: the text followed by " is not a valid IP address." when it fails.
    void boxWebAddressExit(const QString& text);

    // The first four dot-separated fields are whole numbers from 0 to 255; the rest is not read.
    static bool isValidAddress(const QString& text);
    // The port box as a whole number; kDefaultPort when it is empty or not one.
    static int portFromText(const QString& text);
    // The port box's text when it is left: a port from 1 to 65535 in plain decimal, or the empty
    // text (kDefaultPort); nothing for any other text. portRefusal is the message then.
    static std::optional<QString> checkedPort(const QString& text);
    static QString portRefusal(const QString& text);
    // The web image's size from edWidth and edHeight: 500 and 300 when a box is not a whole
    // number from 1 to 10000.
    static QSize webImageSize(const QString& widthText, const QString& heightText);
    // The machine's IPv4 addresses (interfaces up, not loopback), then "127.0.0.1".
    static QStringList addressList();
    static QStringList addressList(const QList<QNetworkInterface>& interfaces);
    // The address box at start-up: the machine's only address when it has exactly one,
    // otherwise the stored one. A stored loopback address is always kept.
    static QString startupAddress(const QStringList& addresses, const QString& stored);

Q_SIGNALS:
    void boxesEnabledChanged(bool enabled);
    void indicatorVisibleChanged(bool visible);
    // The server did not start: the box is to be unticked.
    void startFailed();

private:
    void publish(bool ticked);

    WebServer& server_;
    UserMessages& messages_;
    bool boxesEnabled_ = true;
    bool indicatorVisible_ = false;
};
