#pragma once

#include <QStyledItemDelegate>

// Draws a voicemail row: play state, caller's number and the day the message came.
class VoicemailItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 40;

    explicit VoicemailItemDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static QString iconPath(int playState, bool selected);
};
