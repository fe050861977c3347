#pragma once

#include <QStyledItemDelegate>

class ContactManager;

// A recent number, under the name of the contact it belongs to when there is one.
class RecentNumberItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit RecentNumberItemDelegate(QObject *parent = nullptr);

    void setContactManager(const ContactManager *manager) { contacts = manager; }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The contact's display name for number, empty without one (or without a contact manager).
    QString nameFor(const QString &number) const;

private:
    const ContactManager *contacts = nullptr;
};
