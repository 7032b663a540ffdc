#pragma once
// The "Home Hub" tab: the router's own page in the browser view, the notice shown over it until
// the first page arrives, and the status line under it.
#include <QWidget>

class QLabel;

class HomeHubTab : public QWidget {
    Q_OBJECT
public:
    explicit HomeHubTab(QWidget* browserView, QWidget* parent = nullptr);

    QLabel* Panel4 = nullptr; // "Please wait. Connecting to the Home Hub...."
    QLabel* Label2 = nullptr; // the status line
};
