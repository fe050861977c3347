#include "ui/menubutton.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "util/log.h"

MenuButton::MenuButton(QWidget *parent)
    : QWidget(parent)
    , layout(new QBoxLayout(QBoxLayout::TopToBottom, this))
    , iconLabel(new QLabel(this))
    , textLabel(new QLabel(this))
{
    layout->setObjectName(QStringLiteral("layout"));
    iconLabel->setObjectName(QStringLiteral("iconLabel"));
    textLabel->setObjectName(QStringLiteral("textLabel"));
    iconLabel->setAlignment(Qt::AlignCenter);
    textLabel->setAlignment(Qt::AlignCenter);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addWidget(iconLabel, 0, Qt::AlignCenter);
    layout->addWidget(textLabel, 0, Qt::AlignCenter);
    iconLabel->installEventFilter(this);
    textLabel->installEventFilter(this);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setState(Normal);
}

QString MenuButton::stateName(int state)
{
    switch (state) {
    case Normal:
        return QStringLiteral("normal");
    case Hovered:
        return QStringLiteral("hovered");
    case Pressed:
        return QStringLiteral("pressed");
    case Selected:
        return QStringLiteral("selected");
    default:
        LOG_WARNING << "unhandled case" << state;
        return QString();
    }
}

void MenuButton::setHorizontalOrientation(bool on)
{
    horizontal = on;
    layout->setDirection(on ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

QString MenuButton::text() const
{
    return textLabel->text();
}

void MenuButton::setText(const QString &text)
{
    textLabel->setText(text);
    setAccessibleName(text);
}

void MenuButton::setState(State state)
{
    current = state;
    setProperty("_state", stateName(state));
    for (QWidget *widget : { static_cast<QWidget *>(this), static_cast<QWidget *>(iconLabel),
             static_cast<QWidget *>(textLabel) }) {
        widget->style()->unpolish(widget);
        widget->style()->polish(widget);
    }
    update();
}

void MenuButton::setSelected(bool on)
{
    selected = on;
    setState(on ? Selected : (hovered ? Hovered : Normal));
}

void MenuButton::enterEvent(QEvent *event)
{
    hovered = true;
    if (!selected)
        setState(Hovered);
    QWidget::enterEvent(event);
}

void MenuButton::leaveEvent(QEvent *event)
{
    hovered = false;
    if (!selected)
        setState(Normal);
    QWidget::leaveEvent(event);
}

void MenuButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        releaseHandled = false;
        setState(Pressed);
    }
    QWidget::mousePressEvent(event);
}

void MenuButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (releaseHandled)
            releaseHandled = false;
        else
            release(rect().contains(event->pos()));
    }
    QWidget::mouseReleaseEvent(event);
}

void MenuButton::release(bool inside)
{
    hovered = inside;
    if (isEnabled() && hovered)
        emit clicked();
    if (!selected)
        setState(hovered ? Hovered : Normal);
    else
        setState(Selected);
}

bool MenuButton::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == iconLabel || watched == textLabel) && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        auto *label = static_cast<QWidget *>(watched);
        release(rect().contains(label->mapTo(this, static_cast<QMouseEvent *>(event)->pos())));
        // The button itself receives the release next; it must not count twice.
        releaseHandled = true;
    }
    return QWidget::eventFilter(watched, event);
}

void MenuButton::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
