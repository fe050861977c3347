#pragma once

#include <QDateTime>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTime>

class ContactManager;

// Draws a call-history row: who (the contact's name when the number belongs to one), how long, when,
// the kind of event and the number.
class CallHistoryEventItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 53;
    static constexpr int maxNameLength = 17;

    explicit CallHistoryEventItemDelegate(QObject *parent = nullptr);

    void setContactManager(const ContactManager *manager);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The name a row shows: the contact's names when the number belongs to a contact, else the
    // stored name, else "Unknown".
    QString nameFor(const QModelIndex &index) const;

    // A contact's first and last name as short as a row needs them.
    static QString shortName(const QString &firstName, const QString &lastName);
    // "h:mm:ss" with hours only when there are any, else "mm:ss"; empty for a null time.
    static QString durationText(const QTime &duration);
    static QString dateText(const QDateTime &when);
    // The picture of an event kind; empty for an unknown kind.
    static QString iconPath(int kind);

private:
    const ContactManager *contacts = nullptr;
};
