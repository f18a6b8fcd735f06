// The message boxes the program shows: icon, buttons, the default button and
// the text, read off the real dialog while it waits for the user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/app/QtDialogs.h"

namespace quellstone::gui {
namespace {

struct ShownBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
};

// Shows one message through QtDialogs; once the box runs its own event loop,
// records it and presses Enter, which takes the default button.
std::pair<ShownBox, ports::MessageAnswer> ShowAndPressEnter(std::string_view text, ports::MessageIcon icon,
                                                            ports::MessageButtons buttons,
                                                            ports::MessageAnswer defaultAnswer) {
    ShownBox shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;  // the test below fails on the missing box, and would hang: never the case when it works
        shown = {box->icon(),
                 box->standardButtons(),
                 box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton,
                 box->windowTitle(),
                 box->text(),
                 box->textFormat()};
        QTest::keyClick(box, Qt::Key_Return);
    });
    QtDialogs dialogs;
    const ports::MessageAnswer answer = dialogs.ShowMessage(text, icon, buttons, defaultAnswer);
    return {shown, answer};
}

TEST(QtDialogs, MessageBoxesKeepTheirIconsButtonsAndDefaults) {
    using ports::MessageAnswer;
    using ports::MessageButtons;
    using ports::MessageIcon;
    struct Case {
        MessageIcon icon;
        MessageButtons buttons;
        MessageAnswer defaultAnswer;
        QMessageBox::Icon expectedIcon;
        QMessageBox::StandardButton expectedDefault;
        MessageAnswer expectedAnswer;
    };
    const Case cases[] = {
        {MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok, QMessageBox::Information, QMessageBox::Ok,
         MessageAnswer::Ok},
        {MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok, QMessageBox::Warning, QMessageBox::Ok,
         MessageAnswer::Ok},
        {MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok, QMessageBox::Critical, QMessageBox::Ok,
         MessageAnswer::Ok},
        // A question whose safe answer is Yes (open the update page) and one
        // whose safe answer is No (keep the list): Enter gives that answer.
        {MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes, QMessageBox::Question, QMessageBox::Yes,
         MessageAnswer::Yes},
        {MessageIcon::Information, MessageButtons::YesNo, MessageAnswer::No, QMessageBox::Information, QMessageBox::No,
         MessageAnswer::No},
    };
    for (const Case& c : cases) {
        const auto [shown, answer] = ShowAndPressEnter("First line\rsecond", c.icon, c.buttons, c.defaultAnswer);
        EXPECT_EQ(shown.icon, c.expectedIcon);
        // A box with one button needs no default; Enter presses it anyway.
        if (c.buttons == MessageButtons::YesNo) {
            EXPECT_EQ(shown.defaultButton, c.expectedDefault);
        }
        EXPECT_EQ(shown.buttons, c.buttons == MessageButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No)
                                                                    : QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(answer, c.expectedAnswer);
        EXPECT_EQ(shown.title, QStringLiteral("Quellstone"));
        EXPECT_EQ(shown.text, QStringLiteral("First line\nsecond"));  // a carriage return is a line break
    }
}

TEST(QtDialogs, AMessageIsShownAsPlainTextNeverAsMarkup) {
    // A server's reason or a file name may look like markup: it is shown as the characters it is.
    const auto [shown, answer] =
        ShowAndPressEnter("Could not reach the update server: <img src=x><b>500</b>", ports::MessageIcon::Warning,
                          ports::MessageButtons::Ok, ports::MessageAnswer::Ok);
    EXPECT_EQ(shown.format, Qt::PlainText);
    EXPECT_EQ(shown.text, QStringLiteral("Could not reach the update server: <img src=x><b>500</b>"));
    EXPECT_EQ(answer, ports::MessageAnswer::Ok);
}

// A question with named answers: Enter and Escape take Cancel (the safe
// answer), a click on a named answer gives its index.
TEST(QtDialogs, AQuestionWithNamedAnswersDefaultsToCancel) {
    const auto ask = [](std::function<void(QMessageBox&)> answer) {
        QTimer::singleShot(0, [answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) answer(*box);
        });
        QtDialogs dialogs;
        return dialogs.AskChoice("Still running.\rStop it?", ports::MessageIcon::Question, {"&Stop and close"});
    };
    QString named;
    EXPECT_EQ(ask([&named](QMessageBox& box) {
                  for (QAbstractButton* button : box.buttons()) {
                      if (box.standardButton(button) == QMessageBox::NoButton) named = button->text();
                  }
                  QTest::keyClick(&box, Qt::Key_Return);
              }),
              std::nullopt);
    EXPECT_EQ(named, "&Stop and close");
    EXPECT_EQ(ask([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }), std::nullopt);
    EXPECT_EQ(ask([](QMessageBox& box) {
                  for (QAbstractButton* button : box.buttons()) {
                      if (box.standardButton(button) == QMessageBox::NoButton)
                          QTest::mouseClick(button, Qt::LeftButton);
                  }
              }),
              std::optional<std::size_t>(0));
}

}  // namespace
}  // namespace quellstone::gui
