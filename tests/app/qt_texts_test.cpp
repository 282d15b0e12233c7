// Qt's own texts that the program shows stand in Greek: the menus of text boxes, the buttons of
// Qt's dialogs and its own file dialog.

#include "app/qt_texts.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

namespace tavrelo {
namespace {

// A word of Latin letters, leaving out a menu entry's shortcut (Ctrl+Z) and the names of
// Unicode's control characters.
bool hasEnglish(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\t.*$|\\b([A-Z]{3,4}|Unicode)\\b")));
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

TEST(QtTexts, AreGreekInTextBoxMenusDialogButtonsAndQtsOwnFileDialog)
{
    ASSERT_TRUE(installGreekQtTexts());
    QLineEdit line;
    QPlainTextEdit text;
    for (QMenu* menu : {line.createStandardContextMenu(), text.createStandardContextMenu()}) {
        const std::unique_ptr<QMenu> owned(menu);
        EXPECT_GE(menu->actions().size(), 7);
        for (QAction* action : menu->actions())
            EXPECT_FALSE(hasEnglish(action->text())) << action->text().toStdString();
    }
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes | QDialogButtonBox::No |
                             QDialogButtonBox::Save | QDialogButtonBox::Open | QDialogButtonBox::Close);
    for (QAbstractButton* button : buttons.buttons())
        EXPECT_FALSE(hasEnglish(button->text())) << button->text().toStdString();
    for (const QFileDialog::AcceptMode mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        for (QLabel* label : dialog.findChildren<QLabel*>())
            EXPECT_FALSE(hasEnglish(label->text())) << label->text().toStdString();
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            EXPECT_FALSE(hasEnglish(button->text() + button->toolTip())) << button->toolTip().toStdString();
    }
}

}  // namespace
}  // namespace tavrelo
