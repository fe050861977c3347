#include "ui/custompushbutton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

CustomPushButton::CustomPushButton(QWidget *parent) : QPushButton(parent) { }

QStaticText CustomPushButton::label() const
{
    QStaticText text(QPushButton::text());
    text.setTextFormat(Qt::RichText);
    text.prepare(QTransform(), font());
    return text;
}

QSize CustomPushButton::sizeHint() const
{
    const QSize base = QPushButton::sizeHint();
    return QSize(int(label().size().width()) + 10, base.height());
}

void CustomPushButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QStaticText text = label();
    const QSizeF size = text.size();
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawStaticText(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0), text);
}
