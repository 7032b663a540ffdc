#include "app/tabs/RouterAccessLock.h"

#include "RecordingMessages.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class RouterAccessLockTest : public testing::Test {
protected:
    RouterAccessLockTest() {
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w :
             std::initializer_list<QWidget*>{Image11, Image26, edAddress, edPassword1, cbShowPlain})
            layout->addWidget(w);
        Image11->setFixedSize(22, 22);
        Image26->setFixedSize(22, 22);
    }

    // The group as the window builds it, then the lock bound to it.
    RouterAccessLock& bind() {
        lock = std::make_unique<RouterAccessLock>(
            RouterAccessLock::Controls{Image11, Image26, edAddress, edPassword1, cbShowPlain,
                                       &window},
            messages, [this](const QString& caption, const QString& prompt) {
                asked << caption + '|' + prompt;
                maskedWhileAsking = edPassword1->echoMode() == QLineEdit::Password;
                return answer;
            });
        return *lock;
    }

    QWidget window;
    QLabel* Image11 = new QLabel;
    QLabel* Image26 = new QLabel;
    QLineEdit* edAddress = new QLineEdit(QStringLiteral("192.168.1.254"));
    QLineEdit* edPassword1 = new QLineEdit;
    QCheckBox* cbShowPlain = new QCheckBox(QStringLiteral("Show password in plain text"));
    RecordingMessages messages;
    std::optional<QString> answer;
    QStringList asked;
    bool maskedWhileAsking = false;
    std::unique_ptr<RouterAccessLock> lock;
};

TEST_F(RouterAccessLockTest, PadlockUnlocksAndLocksTheAddressBox) {
    bind();
    window.show();
    auto expectLocked = [&](bool locked) {
        EXPECT_EQ(lock->locked(), locked);
        EXPECT_EQ(edAddress->isEnabled(), !locked);
        EXPECT_EQ(Image11->isVisible(), locked);
        EXPECT_EQ(Image26->isVisible(), !locked);
    };
    expectLocked(true);
    QTest::mouseClick(Image11, Qt::LeftButton);
    expectLocked(false);
    QTest::mouseClick(Image26, Qt::LeftButton);
    expectLocked(true);
    QTest::mouseClick(Image11, Qt::RightButton);
    expectLocked(true);
}

TEST_F(RouterAccessLockTest, EveryStartBeginsLocked) {
    edAddress->setEnabled(true);
    Image11->hide();
    bind();
    window.show();
    EXPECT_TRUE(lock->locked());
    EXPECT_TRUE(Image11->isVisible());
    EXPECT_FALSE(Image26->isVisible());
}

TEST_F(RouterAccessLockTest, PasswordQuestionBeforeShowingThePassword) {
    struct Case {
        const char* name;
        std::optional<QString> answer;
        bool shown;
        QStringList messages;
    };
    const QList<Case> cases{
        {"right answer", QStringLiteral("s3cret"), true, {}},
        {"wrong answer", QStringLiteral("guess"), false, {"Incorrect Password."}},
        {"nearly right", QStringLiteral("s3cret "), false, {"Incorrect Password."}},
        {"empty answer", QString(), false, {}},
        {"cancelled", std::nullopt, false, {}},
    };
    bind();
    edPassword1->setText(QStringLiteral("s3cret"));
    window.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cbShowPlain->setChecked(false);
        asked.clear();
        messages.informed.clear();
        answer = c.answer;
        QTest::mouseClick(cbShowPlain, Qt::LeftButton);
        EXPECT_EQ(asked, QStringList{"Password...|Type Password"});
        EXPECT_TRUE(maskedWhileAsking);
        EXPECT_EQ(cbShowPlain->isChecked(), c.shown);
        EXPECT_EQ(edPassword1->echoMode(), c.shown ? QLineEdit::Normal : QLineEdit::Password);
        EXPECT_EQ(messages.informed, c.messages);
    }
    // Unticking masks without a question.
    answer = QStringLiteral("s3cret");
    QTest::mouseClick(cbShowPlain, Qt::LeftButton);
    ASSERT_EQ(edPassword1->echoMode(), QLineEdit::Normal);
    asked.clear();
    QTest::mouseClick(cbShowPlain, Qt::LeftButton);
    EXPECT_FALSE(cbShowPlain->isChecked());
    EXPECT_EQ(edPassword1->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(RouterAccessLockTest, NoQuestionForAnEmptyPasswordOrWhileLoadingTheSettings) {
    bind();
    EXPECT_EQ(edPassword1->echoMode(), QLineEdit::Password);

    // Settings loaded before the window shows: the box takes its state from the file.
    edPassword1->setText(QStringLiteral("s3cret"));
    cbShowPlain->setChecked(true);
    EXPECT_EQ(edPassword1->echoMode(), QLineEdit::Normal);
    cbShowPlain->setChecked(false);

    window.show();
    edPassword1->clear();
    QTest::mouseClick(cbShowPlain, Qt::LeftButton);
    EXPECT_TRUE(cbShowPlain->isChecked());
    EXPECT_EQ(edPassword1->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(RouterAccessLockTest, TheMaskFollowsTheBoxAtBinding) {
    cbShowPlain->setChecked(true);
    edPassword1->setText(QStringLiteral("s3cret"));
    bind();
    EXPECT_EQ(edPassword1->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(asked.isEmpty());
}

} // namespace
