// The "Web server" box's logic: switching, the boxes and the indicator, the failed start, the
// address check, the key filters and the address list.
#include "HttpClient.h"
#include "RecordingMessages.h"
#include "ServerPorts.h"
#include "webserver/KeyFilter.h"
#include "webserver/WebServer.h"
#include "webserver/WebServerControl.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

TEST(WebServerControl, TickStartsUntickStopsAndTheBoxesFollow) {
    WebServer server;
    RecordingMessages messages;
    WebServerControl control(server, messages);
    QSignalSpy enabled(&control, &WebServerControl::boxesEnabledChanged);
    QSignalSpy indicator(&control, &WebServerControl::indicatorVisibleChanged);
    const int port = freePort();
    ASSERT_NE(port, 0);

    QSignalSpy failed(&control, &WebServerControl::startFailed);
    control.cbWebClick(true, QStringLiteral("127.0.0.1"), QString::number(port));
    EXPECT_TRUE(server.isActive());
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_FALSE(control.boxesEnabled());
    EXPECT_TRUE(control.indicatorVisible());
    EXPECT_EQ(enabled.takeLast().at(0).toBool(), false);
    EXPECT_EQ(indicator.takeLast().at(0).toBool(), true);
    EXPECT_EQ(httpRequest(port, "/noise.jpg").status, 404);

    // Ticked again while on (a new port typed in meanwhile): nothing changes.
    control.cbWebClick(true, QStringLiteral("127.0.0.1"), QStringLiteral("1"));
    EXPECT_TRUE(server.isActive());
    EXPECT_EQ(httpRequest(port, "/noise.jpg").status, 404);

    control.cbWebClick(false, QStringLiteral("127.0.0.1"), QString::number(port));
    EXPECT_FALSE(server.isActive());
    EXPECT_TRUE(control.boxesEnabled());
    EXPECT_FALSE(control.indicatorVisible());
    EXPECT_EQ(connectLoopback(port), -1);
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST(WebServerControl, FailedStartAsksToUntickTheBoxIndicatorHiddenBoxesEnabled) {
    WebServer other;
    const int taken = startOnFreePort(other);
    ASSERT_NE(taken, 0);
    struct Case {
        QString address, port;
        QString message;
    };
    const QString inUse = QString::fromLocal8Bit(std::strerror(EADDRINUSE));
    const Case cases[] = {
        {"127.0.0.1", QString::number(taken),
         "The web server could not start on 127.0.0.1, port " + QString::number(taken) + ": " +
             inUse + "."},
        {"", QString::number(taken),
         "The web server could not start on every address, port " + QString::number(taken) + ": " +
             inUse + "."},
        {"127.0.0.1", "99999",
         "The web server could not start on 127.0.0.1, port 99999: the port must be a number "
         "from 1 to 65535."},
        {"127.0.0.1", "0",
         "The web server could not start on 127.0.0.1, port 0: the port must be a number from 1 "
         "to 65535."},
        {"192.168.1", QString::number(taken),
         "The web server could not start on 192.168.1, port " + QString::number(taken) +
             ": not an IPv4 address."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        WebServer server;
        RecordingMessages messages;
        WebServerControl control(server, messages);
        QSignalSpy indicator(&control, &WebServerControl::indicatorVisibleChanged);
        QSignalSpy failed(&control, &WebServerControl::startFailed);
        control.cbWebClick(true, c.address, c.port);
        EXPECT_EQ(failed.size(), 1);
        EXPECT_FALSE(server.isActive());
        EXPECT_TRUE(control.boxesEnabled());
        EXPECT_FALSE(control.indicatorVisible());
        ASSERT_EQ(indicator.size(), 1);
        EXPECT_FALSE(indicator.at(0).at(0).toBool());
        EXPECT_EQ(messages.informed, QStringList{c.message});
    }
    EXPECT_TRUE(other.isActive());
}

TEST(WebServerControl, ShutDownStopsAndHidesTheIndicator) {
    WebServer server;
    RecordingMessages messages;
    WebServerControl control(server, messages);
    const int port = freePort();
    control.cbWebClick(true, QString(), QString::number(port));
    ASSERT_TRUE(server.isActive());
    // An empty address listens on loopback too; the root is the built-in page.
    EXPECT_EQ(httpRequest(port, "/").status, 200);
    control.shutDown();
    EXPECT_FALSE(server.isActive());
    EXPECT_FALSE(control.indicatorVisible());
}

// A web folder that is the program folder or holds it would serve the settings file and the
// lock: it is refused with a message and nothing is served; a folder beside or inside is taken.
TEST(WebServerControl, AWebFolderHoldingTheProgramFolderIsRefused) {
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    const QString program = root + "/home/lintrove";
    ASSERT_TRUE(QDir().mkpath(program + "/WebServer"));
    ASSERT_TRUE(QDir().mkpath(root + "/home/lintrove2"));
    ASSERT_TRUE(QFile::link(root + "/home", root + "/link-to-home"));
    writeFileBytes(program + "/lintrove5a.ini", "[LT-BT]\r\nPassword=secret\r\n");
    const struct {
        QString folder;
        bool taken;
    } cases[] = {
        {program, false},
        {program + "/", false},
        {root + "/home", false},
        {root + "/link-to-home", false},
        {root + "/home/lintrove/WebServer/..", false},
        {"/", false},
        {program + "/WebServer", true},
        {root + "/home/lintrove2", true},
        {root + "/not-made-yet", true},
    };
    WebServer server;
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        RecordingMessages messages;
        WebServerControl control(server, messages);
        EXPECT_EQ(control.setWebFolder(c.folder, program, {program + "/lintrove5a.ini"}), c.taken);
        EXPECT_EQ(server.webFolder(), c.taken ? c.folder : QString());
        EXPECT_EQ(messages.informed.size(), c.taken ? 0 : 1);
        if (!c.taken) {
            EXPECT_TRUE(messages.informed.value(0).contains(c.folder))
                << messages.informed.value(0).toStdString();
        }
        for (const char* target :
             {"/lintrove5a.ini", "/lintrove/lintrove5a.ini", "/home/lintrove/lintrove5a.ini"})
            EXPECT_EQ(httpRequest(port, target).body.find("secret"), std::string::npos) << target;
    }
}

TEST(WebServerControl, AddressCheckOnLeavingTheBox) {
    const std::pair<const char*, bool> cases[] = {
        {"127.0.0.1", true},
        {"10.0.0.1.9", true},
        {"192.168.1.254", true},
        {" 10.0.0.1 ", true},
        {"0.0.0.0", true},
        {"255.255.255.255", true},
        {"10.0.0.1.x.y", true}, // beyond the fourth field nothing is read
        {"192.168.1", false},
        {"", false},
        {"256.1.1.1", false},
        {"1..1.1", false},
        {"a.b.c.d", false},
        {"1.2.3.-4", false},
        {"1.2.3.99999999999999", false},
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(WebServerControl::isValidAddress(QString::fromUtf8(text)), valid) << text;
        WebServer server;
        RecordingMessages messages;
        WebServerControl control(server, messages);
        control.boxWebAddressExit(QString::fromUtf8(text));
        if (valid)
            EXPECT_TRUE(messages.informed.isEmpty()) << text;
        else
            EXPECT_EQ(messages.informed,
                      QStringList{QString::fromUtf8(text) + " is not a valid IP address."});
    }
}

TEST(WebServerControl, NumbersFromTheBoxes) {
    const std::pair<const char*, int> ports[] = {
        {"81", 81},       {" 8080 ", 8080},      {"", 8081}, {"abc", 8081}, {"8o", 8081},
        {"99999", 99999}, {"99999999999", 8081},
    };
    for (const auto& [text, port] : ports)
        EXPECT_EQ(WebServerControl::portFromText(QString::fromUtf8(text)), port) << text;

    // Leaving the port box: a port the server can listen on, in plain decimal, or the empty
    // box that stands for the default.
    const std::pair<const char*, std::optional<QString>> left[] = {
        {"8081", "8081"},
        {"1", "1"},
        {"65535", "65535"},
        {"08080", "8080"},
        {" 81 ", "81"},
        {"", ""},
        {"0", std::nullopt},
        {"65536", std::nullopt},
        {"8199999", std::nullopt},
        {"99999999999", std::nullopt},
        {"8o", std::nullopt},
    };
    for (const auto& [text, kept] : left)
        EXPECT_EQ(WebServerControl::checkedPort(QString::fromUtf8(text)), kept) << text;
    EXPECT_EQ(WebServerControl::portRefusal("8199999"),
              "8199999 is not a valid port: it must be a number from 1 to 65535.");

    struct Size {
        const char *w, *h;
        QSize size;
    };
    const Size sizes[] = {
        {"500", "250", {500, 250}}, {"abc", "", {500, 300}},   {"0", "10001", {500, 300}},
        {"1", "10000", {1, 10000}}, {"-5", "2e3", {500, 300}}, {"640", "480", {640, 480}},
    };
    for (const Size& s : sizes)
        EXPECT_EQ(WebServerControl::webImageSize(QString::fromUtf8(s.w), QString::fromUtf8(s.h)),
                  s.size)
            << s.w << " x " << s.h;
}

TEST(WebServerControl, AddressListIsTheMachinesIPv4ThenLoopback) {
    const QStringList list = WebServerControl::addressList();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.last(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(list.count(QStringLiteral("127.0.0.1")), 1);
    for (const QString& a : list.mid(0, list.size() - 1)) {
        QHostAddress host;
        EXPECT_TRUE(host.setAddress(a) && host.protocol() == QAbstractSocket::IPv4Protocol)
            << a.toStdString();
        EXPECT_FALSE(host.isLoopback()) << a.toStdString();
    }
    EXPECT_EQ(WebServerControl::addressList({}), QStringList{QStringLiteral("127.0.0.1")});

    const QString stored = QStringLiteral("10.1.1.1");
    EXPECT_EQ(WebServerControl::startupAddress({"192.168.1.64", "127.0.0.1"}, stored),
              QStringLiteral("192.168.1.64"));
    EXPECT_EQ(WebServerControl::startupAddress({"192.168.1.64", "10.0.0.5", "127.0.0.1"}, stored),
              stored);
    EXPECT_EQ(WebServerControl::startupAddress({"127.0.0.1"}, stored), stored);
    // Serving this machine only stays so: never widened to the network address.
    for (const char* loopback : {"127.0.0.1", " 127.0.0.1 ", "127.1.2.3"})
        EXPECT_EQ(WebServerControl::startupAddress({"192.168.1.64", "127.0.0.1"},
                                                   QString::fromLatin1(loopback)),
                  QString::fromLatin1(loopback));
    EXPECT_EQ(WebServerControl::startupAddress({"192.168.1.64", "127.0.0.1"}, QString()),
              QStringLiteral("192.168.1.64"));
}

TEST(KeyFilter, TypedCharactersTheBoxesDoNotTakeAreDropped) {
    QLineEdit port;
    KeyFilter::digits(&port)->guard(&port);
    QTest::keyClicks(&port, QStringLiteral("8a1.-b 4"));
    EXPECT_EQ(port.text(), QStringLiteral("814"));

    QComboBox address;
    address.setEditable(true);
    KeyFilter::address(&address)->guard(&address);
    // The list box holds the focus and gets the keys; its line edit may get them directly too.
    QTest::keyClicks(&address, QStringLiteral("19x2.168,"));
    QTest::keyClicks(address.lineEdit(), QStringLiteral(".1.a1"));
    EXPECT_EQ(address.currentText(), QStringLiteral("192.168.1.1"));
}

// Counts the key presses that reach the box past the filters installed after it.
class KeysSeen final : public QObject {
public:
    QList<int> keys;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            keys << static_cast<QKeyEvent*>(event)->key();
        return false;
    }
};

// Keys as the X11 platform delivers them: editing and moving keys carry control characters or
// no text at all, shortcuts carry their modifier. Every one of them does its usual work.
TEST(KeyFilter, KeysThatTypeNothingPrintableGetThrough) {
    struct Case {
        const char* name;
        Qt::Key key;
        const char* text;
        Qt::KeyboardModifiers modifiers;
    };
    const Case keys[] = {
        {"Tab", Qt::Key_Tab, "\t", Qt::NoModifier},
        {"Backtab", Qt::Key_Backtab, "\t", Qt::ShiftModifier},
        {"Delete", Qt::Key_Delete, "\x7f", Qt::NoModifier},
        {"Backspace", Qt::Key_Backspace, "\b", Qt::NoModifier},
        {"Return", Qt::Key_Return, "\r", Qt::NoModifier},
        {"Escape", Qt::Key_Escape, "\x1b", Qt::NoModifier},
        {"Left", Qt::Key_Left, "", Qt::NoModifier},
        {"Home", Qt::Key_Home, "", Qt::NoModifier},
        {"Ctrl+A", Qt::Key_A, "\x01", Qt::ControlModifier},
        {"Ctrl+C", Qt::Key_C, "\x03", Qt::ControlModifier},
        {"Ctrl+V", Qt::Key_V, "\x16", Qt::ControlModifier},
        {"Alt+A", Qt::Key_A, "a", Qt::AltModifier},
    };
    for (const bool digitsOnly : {true, false}) {
        QLineEdit box;
        KeysSeen seen;
        box.installEventFilter(&seen); // runs after the filter, which is installed later
        KeyFilter* filter = digitsOnly ? KeyFilter::digits(&box) : KeyFilter::address(&box);
        filter->guard(&box);
        for (const Case& k : keys) {
            SCOPED_TRACE(k.name);
            seen.keys.clear(); // a modifier is pressed before its key
            QTest::sendKeyEvent(QTest::Press, &box, k.key, QString::fromLatin1(k.text),
                                k.modifiers);
            EXPECT_TRUE(seen.keys.contains(k.key)) << "swallowed";
        }
        // Printable characters are still judged, with Shift too.
        EXPECT_FALSE(filter->accepts(QStringLiteral("a")));
        EXPECT_FALSE(filter->accepts(QStringLiteral(" ")));
        EXPECT_FALSE(filter->accepts(QStringLiteral("A"), Qt::ShiftModifier));
        EXPECT_TRUE(filter->accepts(QStringLiteral("7")));
        EXPECT_EQ(filter->accepts(QStringLiteral(".")), !digitsOnly);
    }
}

// The keys at work in a real box: Delete removes, Tab moves the focus on, and a paste holding a
// character the box does not take is refused whole, as typing it would have dropped it.
TEST(KeyFilter, DeleteTabAndPasteInARealBox) {
    QWidget window;
    auto* port = new QLineEdit(&window);
    auto* next = new QLineEdit(&window);
    KeyFilter::digits(port)->guard(port);
    window.show();
    QApplication::setActiveWindow(&window);
    port->setFocus();
    ASSERT_TRUE(port->hasFocus());
    port->setText(QStringLiteral("8081"));
    port->setCursorPosition(0);
    QTest::sendKeyEvent(QTest::Press, port, Qt::Key_Delete, QStringLiteral("\x7f"), {});
    EXPECT_EQ(port->text(), QStringLiteral("081"));

    const struct {
        const char* clipboard;
        const char* after;
    } pastes[] = {{"8o8", "081"}, {"http://x:80", "081"}, {"99", "99081"}};
    for (const auto& p : pastes) {
        QApplication::clipboard()->setText(QString::fromLatin1(p.clipboard));
        port->setCursorPosition(0);
        QTest::sendKeyEvent(QTest::Press, port, Qt::Key_V, QStringLiteral("\x16"),
                            Qt::ControlModifier);
        EXPECT_EQ(port->text(), QString::fromLatin1(p.after)) << p.clipboard;
    }

    QTest::sendKeyEvent(QTest::Press, port, Qt::Key_Tab, QStringLiteral("\t"), {});
    EXPECT_TRUE(next->hasFocus());
}

} // namespace
