#pragma once
// One graph tab: the chart view of one of Chart1..Chart4 and its page-button panel, with the
// mouse cycle, scrolling and the page buttons forwarded to the graph set.
#include <QCursor>
#include <QHash>
#include <QWidget>
#include <array>
#include <functional>

class ChartView;
class GraphSet;
class QFrame;
class QMenu;
class QToolButton;

class GraphPage : public QWidget {
    Q_OBJECT
public:
    // What a page needs from the window around it.
    struct Context {
        GraphSet* graphs = nullptr;
        QMenu* chartMenu = nullptr;
        const QHash<QString, QCursor>* cursors = nullptr;
        std::function<QRect()> windowFrame; // the main window's outer bounds
        std::function<void(const std::function<void()>&)> runGuarded;
    };

    // chart is 0..3 (Chart1..Chart4); the panel and button names are the form's.
    GraphPage(int chart, Context context, QWidget* parent = nullptr);

    ChartView* view() const { return view_; }
    QFrame* pagePanel() const { return panel_; }
    const std::array<QToolButton*, 4>& pageButtons() const { return buttons_; }

    // Every graph's panel shows or hides with the pointer over any one of them.
    void setPageButtonsVisible(bool visible);

Q_SIGNALS:
    void pageButtonsVisibilityRequested(bool visible);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    void mouseMove(QPoint pos);
    void mouseUp();
    void positionPagePanel();

    int chart_;
    Context context_;
    ChartView* view_ = nullptr;
    QFrame* panel_ = nullptr;
    std::array<QToolButton*, 4> buttons_{};
};
