// The class dialog's widgets driven offscreen: its keys and the character table it opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "class_dialogs.h"
#include "learner_qt.h"
#include "session_fixture.h"

namespace {

using lrnqt::button;

class TrainingWindowTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { lrnqt::make_application("learner_qt_tests"); }
    static void key(QObject* to, int k, QEvent::Type t = QEvent::KeyPress) {
        QKeyEvent e(t, k, Qt::NoModifier);
        QApplication::sendEvent(to, &e);
    }
};

TEST_F(TrainingWindowTest, TheClassDialogEndsByItsKeys) {
    learner::ClassBuffer buffer;
    std::vector<int> ended, edges;
    learner::SelCharsDialog sel(buffer, [&](int r) { ended.push_back(r); }, [&](int d) { edges.push_back(d); }, nullptr);
    sel.show();
    auto* edit = sel.findChild<QLineEdit*>();
    edit->setFocus();
    key(edit, Qt::Key_Right);
    key(edit, Qt::Key_Left);
    EXPECT_EQ(edges, (std::vector<int>{1, -1}));
    edit->setText(QStringLiteral("Ab"));
    key(edit, Qt::Key_Return);
    EXPECT_TRUE(ended.empty());  // Enter acts when it is released
    key(edit, Qt::Key_Return, QEvent::KeyRelease);
    EXPECT_EQ(ended, std::vector<int>{learner::kSelOk});
    EXPECT_EQ(buffer.str(), "Ab");
    learner::SelCharsDialog other(buffer, [&](int r) { ended.push_back(r); }, nullptr, nullptr);
    other.show();
    button(other, "&Jump over")->setFocus();  // a button's letter presses its button
    key(&other, Qt::Key_S);
    EXPECT_EQ(ended, (std::vector<int>{learner::kSelOk, learner::kSelSuspend}));
}

// Opens the character table from the class dialog, lets `inside` act on it, returns the edit text.
template <typename F>
std::string through_the_table(learner::SelCharsDialog& sel, F inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* t = qobject_cast<learner::CharTabDialog*>(w); t && t->isVisible())
                return seen = true, inside(*t);
    });
    QPushButton* table = button(sel, "Characters &table");
    EXPECT_NE(table, nullptr);
    if (table) table->click();  // the table runs modally inside
    EXPECT_TRUE(seen);
    return sel.findChild<QLineEdit*>()->text().toStdString();
}

TEST_F(TrainingWindowTest, CancelInTheCharacterTableKeepsTheTypedClass) {
    learner::ClassBuffer buffer;
    std::vector<int> ended;
    learner::SelCharsDialog sel(buffer, [&](int r) { ended.push_back(r); }, nullptr, nullptr);
    sel.show();
    sel.findChild<QLineEdit*>()->setText(QStringLiteral("x"));
    const std::string after = through_the_table(sel, [](learner::CharTabDialog& t) {
        auto* list = t.findChild<QListWidget*>();
        EXPECT_TRUE(list->item(learner::table_index_of('x'))->isSelected());
        emit list->itemClicked(list->item(learner::table_index_of('x')));
        emit list->itemClicked(list->item(learner::table_index_of('Q')));
        EXPECT_EQ(t.chosen(), "Q");
        button(t, "&Cancel")->click();
    });
    EXPECT_EQ(after, "x");
    EXPECT_TRUE(button(sel, "&Ok")->isEnabled());
    EXPECT_TRUE(ended.empty() && sel.isVisible());  // the class dialog stays open
    const std::string chosen = through_the_table(sel, [](learner::CharTabDialog& t) {
        auto* list = t.findChild<QListWidget*>();
        emit list->itemClicked(list->item(learner::table_index_of('x')));
        emit list->itemClicked(list->item(learner::table_index_of('7')));
        button(t, "&Done")->click();
    });
    EXPECT_EQ(chosen, "7");
    button(sel, "&Ok")->click();
    EXPECT_EQ(ended, std::vector<int>{learner::kSelOk});
    EXPECT_EQ(buffer.str(), "7");
}

}  // namespace
