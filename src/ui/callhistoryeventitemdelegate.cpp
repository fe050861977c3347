#include "callhistoryeventitemdelegate.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>
#include <QPixmap>

#include "contactmanager.h"
#include "history/callhistorymodel.h"
#include "rest/contact.h"

namespace {

const QColor textColor(0x26, 0x32, 0x38);
const QColor secondaryColor(0x60, 0x7D, 0x8B);
const QColor lineColor(0xCF, 0xD8, 0xDC);
const QColor selectedBackground(0xE0, 0xF2, 0xF1);
const QColor selectedLine(0x00, 0x79, 0x6B);
constexpr int iconSize = 20;
constexpr int margin = 12;

QString shortened(const QString &name)
{
    if (name.size() > CallHistoryEventItemDelegate::maxNameLength)
        return name.left(CallHistoryEventItemDelegate::maxNameLength) + QStringLiteral("...");
    return name;
}

QFont sizedFont(const QFont &base, int pixels, bool bold)
{
    QFont font(base);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

CallHistoryEventItemDelegate::CallHistoryEventItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void CallHistoryEventItemDelegate::setContactManager(const ContactManager *manager)
{
    contacts = manager;
}

QString CallHistoryEventItemDelegate::shortName(const QString &firstName, const QString &lastName)
{
    if (firstName.isEmpty() && lastName.isEmpty())
        return QString();
    if (firstName.size() + lastName.size() > maxNameLength)
        return shortened(firstName.isEmpty() ? lastName : firstName);
    // Only one of the two: no stray blank in front or behind.
    return QStringList({ firstName, lastName }).join(QLatin1Char(' ')).trimmed();
}

QString CallHistoryEventItemDelegate::durationText(const QTime &duration)
{
    if (!duration.isValid())
        return QString();
    const QString minutesSeconds = duration.toString(QStringLiteral("mm:ss"));
    if (duration.hour() > 0)
        return QString::number(duration.hour()) + QLatin1Char(':') + minutesSeconds;
    return minutesSeconds;
}

QString CallHistoryEventItemDelegate::dateText(const QDateTime &when)
{
    return when.toString(QStringLiteral("MMM d, yyyy, h:mm"));
}

QString CallHistoryEventItemDelegate::iconPath(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral(":/gfx/history/incomming.png");
    case 1:
        return QStringLiteral(":/gfx/history/outgoing.png");
    case 2:
        return QStringLiteral(":/gfx/history/missed.png");
    case 3:
        return QStringLiteral(":/gfx/history/sms.png");
    default:
        return QString();
    }
}

QString CallHistoryEventItemDelegate::nameFor(const QModelIndex &index) const
{
    const QString number = index.data(CallHistoryModel::NumberRole).toString();
    QString name = index.data(CallHistoryModel::NameRole).toString();
    if (contacts && !number.isEmpty()) {
        if (const Contact *contact = contacts->findContactByNumber(number))
            name = shortName(contact->firstName(), contact->lastName());
    }
    return name.isEmpty() ? tr("Unknown") : name;
}

QSize CallHistoryEventItemDelegate::sizeHint(
    const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(index)
    return QSize(option.rect.width(), rowHeight);
}

void CallHistoryEventItemDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int kind = index.data(CallHistoryModel::TypeRole).toInt();
    const QString number = index.data(CallHistoryModel::NumberRole).toString();
    const QString name = nameFor(index);
    const bool selected = option.state & QStyle::State_Selected;
    const QRect row = option.rect;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (selected)
        painter->fillRect(row, selectedBackground);
    painter->setPen(selected ? selectedLine : lineColor);
    painter->drawLine(row.left(), row.bottom(), row.right(), row.bottom());
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(selectedLine, 1, Qt::DotLine));
        painter->drawRect(row.adjusted(1, 1, -2, -2));
    }

    const QRect top(row.left() + margin, row.top() + 7, row.width() - 2 * margin, 20);
    const QRect bottom(row.left() + margin, row.top() + 28, row.width() - 2 * margin, 18);

    // Right column first, so that the name knows how much room is left.
    painter->setFont(sizedFont(option.font, 9, false));
    const QFontMetrics small(painter->font());
    const QString when = dateText(index.data(CallHistoryModel::TimestampRole).toDateTime());
    QString duration;
    if (index.data(CallHistoryModel::IsTypeOneRole).toBool())
        duration = durationText(index.data(CallHistoryModel::DurationRole).toTime());
    painter->setPen(secondaryColor);
    painter->drawText(top, Qt::AlignRight | Qt::AlignVCenter, duration);
    painter->drawText(bottom, Qt::AlignRight | Qt::AlignVCenter, when);

    const int durationWidth = duration.isEmpty() ? 0 : small.horizontalAdvance(duration) + 8;
    painter->setFont(sizedFont(option.font, 11, true));
    painter->setPen(textColor);
    const QRect nameRect = top.adjusted(0, 0, -durationWidth, 0);
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(painter->font()).elidedText(name, Qt::ElideRight, nameRect.width()));

    int numberLeft = bottom.left();
    const QString icon = iconPath(kind);
    if (!icon.isEmpty()) {
        const QPixmap picture(icon);
        const QRect iconRect(bottom.left(), bottom.center().y() - iconSize / 2 + 1, iconSize, iconSize);
        painter->drawPixmap(iconRect, picture);
        numberLeft += iconSize + 6;
    }
    painter->setFont(sizedFont(option.font, 9, false));
    painter->setPen(secondaryColor);
    const QRect numberRect(numberLeft, bottom.top(),
        bottom.right() - numberLeft - small.horizontalAdvance(when) - 8, bottom.height());
    painter->drawText(numberRect, Qt::AlignLeft | Qt::AlignVCenter,
        small.elidedText(number, Qt::ElideRight, numberRect.width()));
    painter->restore();
}
