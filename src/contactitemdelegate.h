#pragma once

#include <QStyledItemDelegate>

// Paints the rows of the contact views: a rounded highlight for the selected or hovered row, then a
// group's name and member count, or a contact's name, first number, its type icon and "+ N more".
// Every row is 30 pixels high. In tree mode the highlight reaches left over the indentation to the
// view's edge.
class ContactItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 30;

    explicit ContactItemDelegate(bool treeMode, QObject *parent = nullptr);

    bool isTreeMode() const { return treeMode; }
    bool suppressPainting() const { return suppressed; }
    void setSuppressPainting(bool suppress) { suppressed = suppress; }

    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The rectangle of the row highlight for a row drawn in `rect`.
    QRect highlightRect(const QRect &rect, bool groupRow) const;
    // "+ N more" for a contact with that many numbers; empty for fewer than two.
    static QString moreNumbersText(int numberCount);

private:
    void paintBackground(QPainter *painter, const QStyleOptionViewItem &option, bool groupRow) const;
    void paintGroup(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintContact(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

    bool treeMode;
    bool suppressed = false;
};
