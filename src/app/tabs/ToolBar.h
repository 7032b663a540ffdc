#pragma once
// The band above the tabs: Start, Pause, Capture, View, ViewLog and Drops, the capture, log and web
// server indicators, and the router's uptime, noise margins and rates.
#include <QFrame>

class QLabel;
class QToolButton;

class ToolBar : public QFrame {
    Q_OBJECT
public:
    explicit ToolBar(QWidget* parent = nullptr);

    void setTexts(const QString& uptime, const QString& nmUp, const QString& nmDown,
                  const QString& rateUp, const QString& rateDown);

    QToolButton *btnRun = nullptr, *btnStop = nullptr, *btnCapture = nullptr, *btnViewCap = nullptr,
                *btnLog = nullptr, *btnDrops = nullptr;
    // Every page captured, captured on a lost connection (same place), logging, web server.
    QLabel *Image1 = nullptr, *Image2 = nullptr, *Image7 = nullptr, *Image3 = nullptr;
    QLabel *Label20 = nullptr, *Label22 = nullptr, *Label15 = nullptr, *Label23 = nullptr,
           *Label25 = nullptr; // noise margins, rates, uptime
};
