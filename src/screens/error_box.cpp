#include "screens/error_box.h"

#include "screens/screen_mechanics.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tavrelo {

ErrorBox::ErrorBox(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ErrorBox"));
    setWindowTitle(QStringLiteral("ERROR"));
    setWindowIcon(applicationIcon());

    auto* symbol = new QLabel(this);
    symbol->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    symbol->setAlignment(Qt::AlignTop);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setFixedWidth(420);
    auto* ok = new QPushButton(QStringLiteral("O.K."), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    useHandPointer(ok);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    auto* text = new QHBoxLayout;
    text->addWidget(symbol);
    text->addWidget(message_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(text);
    layout->addLayout(buttons);
}

void ErrorBox::setMessage(const QString& message)
{
    message_->setText(message);
    message_->setFixedHeight(message_->heightForWidth(message_->width()) + 6);
    adjustSize();
}

QString ErrorBox::message() const
{
    return message_->text();
}

}  // namespace tavrelo
