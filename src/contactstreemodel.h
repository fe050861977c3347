#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QString>
#include <QVector>

class Contact;
class ContactGroup;

// The address book as a tree: the groups at the top, their contacts below them. It reads the book
// through the ContactManager's group pointers and must be given the new list (setGroups) after every
// change of the book.
//
// A group index has no parent and the internal id -1; a contact index has its group's row as internal
// id, so that roles 39 and 40 address it without touching the book.
class ContactsTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr quintptr groupId = quintptr(-1);

    explicit ContactsTreeModel(QObject *parent = nullptr);

    void setGroups(const QList<ContactGroup *> &groups);
    QList<ContactGroup *> groups() const { return groupList; }

    // The group at that row, or null.
    ContactGroup *groupAt(int row) const;
    // The contact behind a contact index, or null.
    Contact *contactAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    static bool isGroupIndex(const QModelIndex &index)
    {
        return index.isValid() && index.internalId() == groupId;
    }

private:
    QVariant groupData(const QModelIndex &index, int role) const;
    QVariant contactData(const QModelIndex &index, int role) const;
    // The display text of a contact row, kept until the next reset: the search asks for it of every
    // contact on every keystroke.
    const QString &displayName(const QModelIndex &index, const Contact &contact) const;

    QList<ContactGroup *> groupList;
    mutable QVector<QVector<QString>> displayNames;
};
