#include "contactstreemodel.h"

#include "contactgroup.h"
#include "contactsmodels.h"
#include "rest/contact.h"
#include "util/log.h"

using namespace ContactsModels;

ContactsTreeModel::ContactsTreeModel(QObject *parent) : QAbstractItemModel(parent) { }

void ContactsTreeModel::setGroups(const QList<ContactGroup *> &groups)
{
    beginResetModel();
    groupList = groups;
    displayNames.clear();
    endResetModel();
}

ContactGroup *ContactsTreeModel::groupAt(int row) const
{
    return row >= 0 && row < groupList.size() ? groupList.at(row) : nullptr;
}

Contact *ContactsTreeModel::contactAt(const QModelIndex &index) const
{
    if (!index.isValid() || isGroupIndex(index) || index.model() != this)
        return nullptr;
    const ContactGroup *group = groupAt(int(index.internalId()));
    return group ? group->contactAt(index.row()) : nullptr;
}

QModelIndex ContactsTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    if (!parent.isValid())
        return row < groupList.size() ? createIndex(row, 0, groupId) : QModelIndex();
    if (!isGroupIndex(parent) || parent.column() != 0)
        return QModelIndex();
    const ContactGroup *group = groupAt(parent.row());
    if (!group) {
        LOG_WARNING << "WARNING: NULL POINTER";
        return QModelIndex();
    }
    return row < group->contactCount() ? createIndex(row, 0, quintptr(parent.row())) : QModelIndex();
}

QModelIndex ContactsTreeModel::parent(const QModelIndex &index) const
{
    if (!index.isValid() || isGroupIndex(index))
        return QModelIndex();
    return createIndex(int(index.internalId()), 0, groupId);
}

int ContactsTreeModel::rowCount(const QModelIndex &parent) const
{
    if (groupList.isEmpty() || parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return groupList.size();
    if (!isGroupIndex(parent))
        return 0;
    const ContactGroup *group = groupAt(parent.row());
    return group ? group->contactCount() : 0;
}

int ContactsTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant ContactsTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != 0)
        return QVariant();
    return isGroupIndex(index) ? groupData(index, role) : contactData(index, role);
}

QVariant ContactsTreeModel::groupData(const QModelIndex &index, int role) const
{
    if (role == GroupRowRole)
        return index.row();
    const ContactGroup *group = groupAt(index.row());
    if (!group)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return group->name();
    case IsGroupRole:
        return true;
    case ContactCountRole:
        return group->contactCount();
    case DefaultGroupRole:
        return group->isDefault();
    default:
        return QVariant();
    }
}

QVariant ContactsTreeModel::contactData(const QModelIndex &index, int role) const
{
    if (role == GroupIndexRole)
        return int(index.internalId());
    if (role == ContactIndexRole)
        return index.row();
    const Contact *contact = contactAt(index);
    if (!contact)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return displayName(index, *contact);
    case IsGroupRole:
        return false;
    case PhoneNumberRole: {
        const QList<PhoneNumber> phones = contact->phones();
        return phones.isEmpty() ? QString() : phones.first().number();
    }
    case PhoneTypeRole: {
        const QList<PhoneNumber> phones = contact->phones();
        return phones.isEmpty() ? -1 : int(phones.first().type());
    }
    case PhoneNumbersRole:
        return contact->phoneNumbers();
    case PhoneTypesRole:
        return contact->phoneTypes();
    default:
        return QVariant();
    }
}

const QString &ContactsTreeModel::displayName(const QModelIndex &index, const Contact &contact) const
{
    const int group = int(index.internalId());
    if (displayNames.size() != groupList.size())
        displayNames.resize(groupList.size());
    QVector<QString> &names = displayNames[group];
    if (names.isEmpty() && groupList.at(group)) {
        const QList<Contact *> members = groupList.at(group)->contacts();
        names.reserve(members.size());
        for (const Contact *member : members)
            names.append(member->firstName() + QLatin1Char(' ') + member->lastName());
    }
    if (index.row() >= names.size()) {
        static const QString none;
        Q_UNUSED(contact)
        return none;
    }
    return names.at(index.row());
}

bool ContactsTreeModel::setData(const QModelIndex &index, const QVariant &, int role)
{
    if (role != RefreshRole || !index.isValid() || index.model() != this)
        return false;
    // The row is to be read afresh.
    if (isGroupIndex(index)) {
        if (index.row() < displayNames.size())
            displayNames[index.row()].clear();
    } else if (int(index.internalId()) < displayNames.size()) {
        displayNames[int(index.internalId())].clear();
    }
    emit dataChanged(index, index);
    return true;
}
