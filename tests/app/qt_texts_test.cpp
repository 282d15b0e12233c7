// Qt's own texts that the program shows stand in Greek: every entry of a text box's menu, the
// buttons of Qt's dialogs and the labels of its own file dialog.

#include "app/qt_texts.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace tavrelo {
namespace {

// A text with a word of Latin letters other than a key's name (Ctrl+Z) or an ellipsis.
bool hasEnglish(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\t.*$")));  // the shortcut beside a menu entry
    text.remove(QRegularExpression(QStringLiteral("\\b(LRM|RLM|ZWJ|ZWNJ|ZWSP|LRE|RLE|LRO|RLO|PDF|LRI|RLI|FSI|PDI|Unicode)\\b")));
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

TEST(QtTexts, AreGreekInTextBoxMenusDialogButtonsAndQtsOwnFileDialog)
{
    ASSERT_TRUE(installGreekQtTexts());

    QLineEdit line;
    QPlainTextEdit text;
    text.setPlainText(QStringLiteral("κείμενο"));
    for (QWidget* box : {static_cast<QWidget*>(&line), static_cast<QWidget*>(&text)}) {
        const std::unique_ptr<QMenu> menu(box == &line ? line.createStandardContextMenu() : text.createStandardContextMenu());
        int entries = 0;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            ++entries;
            EXPECT_FALSE(hasEnglish(action->text())) << action->text().toStdString();
            if (action->menu())
                for (QAction* inner : action->menu()->actions())
                    EXPECT_FALSE(hasEnglish(inner->text())) << inner->text().toStdString();
        }
        EXPECT_GE(entries, 7);
    }

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                             QDialogButtonBox::No | QDialogButtonBox::Save | QDialogButtonBox::Open | QDialogButtonBox::Close);
    for (QAbstractButton* button : buttons.buttons())
        EXPECT_FALSE(hasEnglish(button->text())) << button->text().toStdString();

    for (const QFileDialog::AcceptMode mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        for (QLabel* label : dialog.findChildren<QLabel*>())
            EXPECT_FALSE(hasEnglish(label->text())) << label->text().toStdString();
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            EXPECT_FALSE(hasEnglish(button->text() + button->toolTip())) << (button->text() + button->toolTip()).toStdString();
    }
}

}  // namespace
}  // namespace tavrelo
