// The real message boxes raised while a modal dialog is open: each belongs to that dialog, is
// modal over it only, and can be answered with the mouse while the dialog stays open.
#include "app/dialogs/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

QMessageBox* openBox(const QString& text) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w);
            box && box->isVisible() && box->text() == text)
            return box;
    return nullptr;
}

// A click as the window system delivers it: a window blocked by a modal one does not get it.
void clickThroughWindow(QMessageBox* box, QMessageBox::StandardButton which) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QAbstractButton* button = box->button(which);
    ASSERT_NE(button, nullptr);
    const QPoint at = button->mapTo(box, button->rect().center());
    QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

class MessageBoxesTest : public testing::Test {
protected:
    MessageBoxesTest() {
        mainWindow.resize(600, 400);
        mainWindow.show();
        dialog.resize(300, 200);
    }

    // Runs the body inside the dialog's own modal loop, as a handler of the dialog would.
    void insideOpenDialog(std::function<void()> body) {
        QTimer::singleShot(0, &dialog, [&, body] {
            body();
            dialog.accept();
        });
        dialog.exec();
    }

    QMainWindow mainWindow;
    MessageBoxes boxes{&mainWindow};
    QDialog dialog{&mainWindow};
};

TEST_F(MessageBoxesTest, AMessageRaisedInADialogBelongsToItAndIsAnsweredWhileItIsOpen) {
    const QList<std::pair<const char*, std::function<void(const QString&)>>> kinds{
        {"inform", [&](const QString& t) { boxes.inform(t); }},
        {"error", [&](const QString& t) { boxes.error(t); }},
    };
    for (const auto& [name, raise] : kinds) {
        SCOPED_TRACE(name);
        const QString text = QStringLiteral("No log file found. (%1)").arg(QLatin1String(name));
        insideOpenDialog([&, raise = raise] {
            raise(text);
            QPointer<QMessageBox> box = openBox(text);
            ASSERT_TRUE(box);
            EXPECT_EQ(box->parentWidget(), &dialog);
            EXPECT_EQ(box->windowModality(), Qt::WindowModal);
            EXPECT_TRUE(dialog.isVisible()); // raising it did not wait for an answer
            EXPECT_TRUE(QTest::qWaitForWindowActive(box)) << "the box is not in front";
            clickThroughWindow(box, QMessageBox::Ok);
            EXPECT_TRUE(!box || !box->isVisible()) << "OK did not answer the box";
            EXPECT_TRUE(dialog.isVisible());
        });
    }
}

TEST_F(MessageBoxesTest, ASecondTextGoesToTheDialogAndTheSameTextOpensOneBox) {
    insideOpenDialog([&] {
        boxes.inform(QStringLiteral("first"));
        boxes.inform(QStringLiteral("second"));
        boxes.inform(QStringLiteral("first"));
        int firsts = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->text() == QLatin1String("first"))
                ++firsts;
        EXPECT_EQ(firsts, 1);
        QPointer<QMessageBox> first = openBox(QStringLiteral("first"));
        QPointer<QMessageBox> second = openBox(QStringLiteral("second"));
        ASSERT_TRUE(first && second);
        // Not over the first box, which would take the second with it when answered.
        EXPECT_EQ(second->parentWidget(), &dialog);
        clickThroughWindow(second, QMessageBox::Ok);
        clickThroughWindow(first, QMessageBox::Ok);
        EXPECT_TRUE(!first || !first->isVisible());
        EXPECT_TRUE(!second || !second->isVisible());
    });
}

TEST_F(MessageBoxesTest, AQuestionInADialogIsAnsweredOverIt) {
    for (const auto answer : {QMessageBox::Yes, QMessageBox::Cancel}) {
        SCOPED_TRACE(answer == QMessageBox::Yes ? "Yes" : "Cancel");
        insideOpenDialog([&] {
            QTimer::singleShot(0, &dialog, [&] {
                QMessageBox* box = openBox(QStringLiteral("Continue?"));
                ASSERT_NE(box, nullptr) << "no question shown";
                EXPECT_EQ(box->parentWidget(), &dialog);
                EXPECT_EQ(box->windowModality(), Qt::WindowModal);
                clickThroughWindow(box, answer);
                if (box->isVisible()) // unanswered: end the test instead of waiting forever
                    box->reject();
            });
            EXPECT_EQ(boxes.confirm(QStringLiteral("Continue?"), dialog.pos()),
                      answer == QMessageBox::Yes);
        });
    }
}

TEST_F(MessageBoxesTest, WithoutADialogTheBoxBelongsToTheMainWindow) {
    boxes.inform(QStringLiteral("Unable to write noise.jpg"));
    QPointer<QMessageBox> box = openBox(QStringLiteral("Unable to write noise.jpg"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->parentWidget(), &mainWindow);
    clickThroughWindow(box, QMessageBox::Ok);
    EXPECT_TRUE(!box || !box->isVisible());
}

} // namespace
