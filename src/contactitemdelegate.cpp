#include "contactitemdelegate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "contactsmodels.h"

using namespace ContactsModels;

namespace {

const int treeIndentation = 11;

QFont pixelFont(const QFont &base, int pixelSize, bool bold)
{
    QFont font(base);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

ContactItemDelegate::ContactItemDelegate(bool treeMode, QObject *parent)
    : QStyledItemDelegate(parent), treeMode(treeMode)
{ }

QSize ContactItemDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(1, rowHeight);
}

QString ContactItemDelegate::moreNumbersText(int numberCount)
{
    return numberCount > 1 ? tr("+ %1 more").arg(numberCount - 1) : QString();
}

QRect ContactItemDelegate::highlightRect(const QRect &rect, bool groupRow) const
{
    QRect area = rect;
    area.setTop(rect.top() + 1);
    area.setBottom(rect.bottom() - 1);
    if (treeMode) {
        area.setLeft(rect.left() - (groupRow ? treeIndentation : 2 * treeIndentation));
        area.setRight(rect.right() - 1);
    } else {
        area.setLeft(rect.left() + 1);
        area.setRight(rect.right() - 2);
    }
    return area;
}

void ContactItemDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (suppressed || !index.isValid())
        return;
    const bool groupRow = treeMode && !index.parent().isValid();
    painter->save();
    paintBackground(painter, option, groupRow);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    if (groupRow)
        paintGroup(painter, option, index);
    else
        paintContact(painter, option, index);
    painter->restore();
}

void ContactItemDelegate::paintBackground(
    QPainter *painter, const QStyleOptionViewItem &option, bool groupRow) const
{
    QColor fill;
    QColor outline;
    if (option.state & QStyle::State_Selected) {
        fill = QColor(QStringLiteral("#dff8ff"));
        outline = QColor(QStringLiteral("#60e0ff"));
    } else if (option.state & QStyle::State_MouseOver) {
        fill = QColor(QStringLiteral("#f2fafd"));
        outline = QColor(QStringLiteral("#c0f3ff"));
    } else {
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(outline);
    painter->setBrush(fill);
    painter->drawRoundedRect(
        QRectF(highlightRect(option.rect, groupRow)).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter->restore();
}

void ContactItemDelegate::paintGroup(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect rect = option.rect;
    painter->setFont(pixelFont(option.font, 13, true));
    painter->setPen(QColor(QStringLiteral("#004372")));
    painter->drawText(
        rect.translated(13, 0), Qt::AlignLeft | Qt::AlignVCenter, index.data(Qt::DisplayRole).toString());

    const int count = index.data(ContactCountRole).toInt();
    painter->setFont(pixelFont(option.font, 10, false));
    painter->setPen(QColor(QStringLiteral("#808080")));
    painter->drawText(
        rect.translated(-5, 0), Qt::AlignRight | Qt::AlignTop, tr("(%n contacts)", nullptr, count));
}

void ContactItemDelegate::paintContact(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect rect = option.rect;
    const QFont nameFont = pixelFont(option.font, 11, true);
    painter->setFont(nameFont);
    painter->setPen(Qt::black);
    const QString name = QFontMetrics(nameFont).elidedText(
        index.data(Qt::DisplayRole).toString(), Qt::ElideRight, rect.width());
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignTop, name);

    const QFont numberFont = pixelFont(option.font, 10, false);
    const QFontMetrics numberMetrics(numberFont);
    const QString number = index.data(PhoneNumberRole).toString();
    painter->setFont(numberFont);
    QRect numberRect;
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignBottom, number, &numberRect);

    const QString iconPath = phoneTypeIconPath(index.data(PhoneTypeRole).toInt());
    if (iconPath.isEmpty())
        return;
    const QPixmap icon(iconPath);
    if (icon.isNull())
        return;
    // The icon's bottom sits on the number's baseline.
    const int baseline = numberRect.top() + numberMetrics.ascent();
    const QSize iconSize = icon.size() / icon.devicePixelRatio();
    const QRect iconRect(QPoint(numberRect.right() + 4, baseline - iconSize.height()), iconSize);
    painter->drawPixmap(iconRect, icon);

    const QString more = moreNumbersText(index.data(PhoneNumbersRole).toStringList().size());
    if (more.isEmpty())
        return;
    QRect moreRect(rect);
    moreRect.setLeft(iconRect.right() + 1 + 10);
    moreRect.setTop(numberRect.top());
    painter->drawText(moreRect, Qt::AlignLeft | Qt::AlignTop, more);
}
