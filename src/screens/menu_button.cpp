#include "screens/menu_button.h"

#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace tavrelo {

void MenuButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    static const QRegularExpression spaces(QStringLiteral(" {2,}"));
    const QString lines = text().trimmed().split(spaces).join(QLatin1Char('\n'));
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, lines);
}

}  // namespace tavrelo
