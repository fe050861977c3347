#include "voicemailitemdelegate.h"

#include <QPainter>

#include "ui/voicemailmodel.h"

VoicemailItemDelegate::VoicemailItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QString VoicemailItemDelegate::iconPath(int playState, bool selected)
{
    QString name;
    switch (playState) {
    case VoicemailModel::Playing:
        name = QStringLiteral("playing");
        break;
    case VoicemailModel::Paused:
        name = QStringLiteral("paused");
        break;
    default:
        name = QStringLiteral("not-played");
        break;
    }
    return QStringLiteral(":/gfx/voicemail/") + name + (selected ? QStringLiteral("-selected") : QString())
        + QStringLiteral(".png");
}

QSize VoicemailItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(index)
    return QSize(option.rect.width(), rowHeight);
}

void VoicemailItemDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QRect row = option.rect;
    painter->save();
    if (selected)
        painter->fillRect(row, QColor(0x00, 0x79, 0x6B));
    painter->setPen(QColor(0xCF, 0xD8, 0xDC));
    painter->drawLine(row.bottomLeft(), row.bottomRight());

    const QPixmap icon(iconPath(index.data(VoicemailModel::PlayStateRole).toInt(), selected));
    painter->drawPixmap(QRect(row.left() + 12, row.center().y() - 8, 16, 16), icon);

    const QColor text = selected ? QColor(Qt::white) : QColor(0x26, 0x32, 0x38);
    const QRect content = row.adjusted(40, 0, -12, 0);
    painter->setPen(text);
    painter->drawText(content, Qt::AlignLeft | Qt::AlignVCenter, index.data(VoicemailModel::NumberRole).toString());
    painter->drawText(content, Qt::AlignRight | Qt::AlignVCenter,
        index.data(VoicemailModel::TimestampRole).toDateTime().toString(QStringLiteral("dd.MM.yyyy")));
    painter->restore();
}
