#pragma once
// The web server feature with the tray icon: the server and its "Web server" box, address and
// port boxes on the Advanced tab, the served image's busy check, /metrics fed from every plotted
// reading and state change, and the tray icon's picture, tooltip and menu.
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class AdvancedTab;
class MetricsSnapshot;
class ToolBar;
class TrayIcon;
class WebServer;
class WebServerControl;
struct WindowServices;

class WebServerBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        AdvancedTab& advanced;
        ToolBar& toolBar;
    };
    // The machine's IPv4 addresses for the address box; empty: asked of the network interfaces.
    using AddressList = std::function<QStringList()>;

    WebServerBinder(WindowServices& services, Controls controls, AddressList addresses);
    ~WebServerBinder() override;

    // Start-up, once the settings are in the controls: the address box offers this machine's
    // address, and a ticked box starts the server.
    void startWebServer();
    // The server serves the folder the WebFolder setting names (created when missing); run at
    // start-up and after the Advanced dialog, where the folder is changed.
    void applyWebFolder();
    // True while a web client is measuring noise.jpg: the web image is not rewritten then.
    std::function<bool()> webImageBusy();
    // The close sequence: requests end before anything they read goes.
    void shutDown();
    WebServerControl& control() { return *webControl_; }
    TrayIcon& tray() { return *tray_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindBoxes();
    void bindPipeline();
    QStringList webAddresses() const;
    void cbWebClick();

    WindowServices& services_;
    Controls c_;
    AddressList addresses_;
    // Destroyed in reverse: the tray, the control, the server (its threads end), the snapshot.
    std::unique_ptr<MetricsSnapshot> metrics_;
    std::unique_ptr<WebServer> webServer_;
    std::unique_ptr<WebServerControl> webControl_;
    std::unique_ptr<TrayIcon> tray_;
    bool webServerStarted_ = false; // the box follows clicks once start-up has set it
};
