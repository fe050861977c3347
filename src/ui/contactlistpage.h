#pragma once

#include <QList>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QMenu>
#include <QWidget>

namespace Ui {
class ContactListPage;
}
class ContactGroup;
class ContactsListModel;
class ContactsSearchProxyModel;
class ContactsTreeModel;
class ContactsTreeSortFilterProxyModel;
class QAbstractItemView;

class Settings;

// The address book as a tree of groups or as one flat list, with a search field above. The page
// changes nothing itself: it asks for calls, SMS, details, edits and deletions through its signals.
//
// Requests name the contact by nick and the group by name, not by row: a deletion is confirmed in a
// nested event loop, during which a reply from the service may reorder the rows.
class ContactListPage : public QWidget
{
    Q_OBJECT
public:
    explicit ContactListPage(QWidget *parent = nullptr);
    ~ContactListPage() override;

    void setSettings(Settings *settings);
    // Hands the book's groups to the models; call it after every change of the book.
    void setGroups(const QList<ContactGroup *> &groups);
    // true: the tree of groups; false: the flat list.
    void setShowGroups(bool show);
    bool showGroups() const;

    QString searchText() const;
    // The view on show, the tree or the list.
    QAbstractItemView *currentView() const;
    ContactsTreeModel *treeModel() const { return contactsTreeModel; }
    ContactsTreeSortFilterProxyModel *treeProxy() const { return contactsTreeProxy; }
    ContactsSearchProxyModel *listProxy() const { return contactsListProxy; }
    // The last context menu, while it exists.
    QMenu *contextMenu() const { return lastMenu; }

    // Nick of the contact behind an index of either view (or of the tree model); empty for a group row.
    QString contactNickAt(const QModelIndex &index) const;
    // Name of the group behind a group row of the tree view; empty otherwise.
    QString groupNameAt(const QModelIndex &index) const;

public slots:
    // Calls the first number of the selected contact (the place-call key on this page).
    void callSelected();
    // Builds the menu for the row at point of the sending view and pops it up.
    void onCustomContextMenuRequested(const QPoint &point);
    // The same for an explicit view; returns the menu, or null when the point shows none.
    QMenu *showContextMenu(QAbstractItemView *view, const QPoint &point);

signals:
    void callContact(QString name, QString number);
    void sendSMS(QString name, QString number);
    void viewContactDetailsRequested(QString contactNick);
    void editContactRequested(QString contactNick);
    void deleteContactRequested(QString contactNick);
    // moveContacts: true for "Delete group, move contacts", false for "Delete group and contacts".
    void deleteGroupRequested(QString groupName, bool moveContacts);
    void editGroupRequested(QString groupName);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onSearchTextChanged(const QString &match);
    void onDoubleClicked(const QModelIndex &index);
    void onCallNumberActionTriggered();
    void onSendSMSActionTriggered();
    void onViewDetailsActionTriggered();
    void onEditContactActionTriggered();
    void onDeleteContactActionTriggered();
    void onEditGroupActionTriggered();
    void onDeleteGroupMoveContactsActionTriggered();
    void onDeleteGroupAndContactsActionTriggered();

private:
    void placeClearButton();
    // Gives the search text to the proxy of the view on show; a proxy that has it already does nothing.
    void applySearch();
    void expandFoundGroups();
    QModelIndex toTreeModel(const QModelIndex &index) const;
    QMenu *contactMenu(const QModelIndex &index);
    QMenu *groupMenu(const QModelIndex &index);
    QString groupOfAction() const;

    Ui::ContactListPage *ui;
    ContactsTreeModel *contactsTreeModel;
    ContactsTreeSortFilterProxyModel *contactsTreeProxy;
    ContactsListModel *contactsListModel;
    ContactsSearchProxyModel *contactsListProxy;
    QPointer<Settings> settings;
    QPointer<QMenu> lastMenu;
    // The contact row of the last context menu, and its contact as it was when the menu opened.
    QPersistentModelIndex menuIndex;
    QString menuNick;
    QString menuName;
};
