#include "ui/contactlistpage.h"
#include "ui_contactlistpage.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

#include "contactgroup.h"
#include "contactslistmodel.h"
#include "contactsmodels.h"
#include "contactssearchproxymodel.h"
#include "contactstreemodel.h"
#include "contactstreesortfilterproxymodel.h"
#include "rest/contact.h"
#include "settings/settings.h"
#include "util/log.h"

using namespace ContactsModels;

ContactListPage::ContactListPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ContactListPage)
    , contactsTreeModel(new ContactsTreeModel(this))
    , contactsTreeProxy(new ContactsTreeSortFilterProxyModel(this))
    , contactsListModel(new ContactsListModel(this))
    , contactsListProxy(new ContactsSearchProxyModel(this))
{
    ui->setupUi(this);

    contactsTreeProxy->setSourceModel(contactsTreeModel);
    contactsListModel->setSourceModel(contactsTreeModel);
    contactsListProxy->setSourceModel(contactsListModel);
    ui->contactsTreeView->setModel(contactsTreeProxy);
    ui->contactsListView->setModel(contactsListProxy);

    connect(ui->searchClearButton, &QPushButton::clicked, ui->searchLineEdit, &QLineEdit::clear);
    connect(ui->searchLineEdit, &QLineEdit::textChanged, this, &ContactListPage::onSearchTextChanged);
    for (QAbstractItemView *view : { static_cast<QAbstractItemView *>(ui->contactsTreeView),
             static_cast<QAbstractItemView *>(ui->contactsListView) }) {
        connect(view, &QAbstractItemView::doubleClicked, this, &ContactListPage::onDoubleClicked);
        connect(
            view, &QWidget::customContextMenuRequested, this, &ContactListPage::onCustomContextMenuRequested);
    }
    ui->searchLineEdit->installEventFilter(this);
    ui->searchClearButton->setVisible(false);
    setShowGroups(true);
}

ContactListPage::~ContactListPage()
{
    delete ui;
}

void ContactListPage::setSettings(Settings *store)
{
    settings = store;
}

void ContactListPage::setGroups(const QList<ContactGroup *> &groups)
{
    contactsTreeModel->setGroups(groups);
    contactsListModel->setSourceModel(contactsTreeModel);
    // A reset collapses the tree: keep what is found visible while a search is on. A hidden tree is
    // opened when it is shown again.
    if (showGroups())
        expandFoundGroups();
}

void ContactListPage::setShowGroups(bool show)
{
    ui->stackedWidget->setCurrentWidget(show ? ui->treeViewPage : ui->listViewPage);
    applySearch();
}

bool ContactListPage::showGroups() const
{
    return ui->stackedWidget->currentWidget() == ui->treeViewPage;
}

QString ContactListPage::searchText() const
{
    return ui->searchLineEdit->text();
}

QAbstractItemView *ContactListPage::currentView() const
{
    if (showGroups())
        return ui->contactsTreeView;
    return ui->contactsListView;
}

// ---- search ----------------------------------------------------------------------------------------

// Only the proxy of the view on show follows the search as it is typed: a new text makes a proxy test
// every contact and its view lay out its rows again, work for nothing in the view that is hidden. The
// other view catches up when it is shown (setShowGroups).
void ContactListPage::onSearchTextChanged(const QString &match)
{
    ui->searchClearButton->setVisible(!match.isEmpty());
    applySearch();
}

void ContactListPage::applySearch()
{
    const QString match = searchText();
    if (!showGroups()) {
        contactsListProxy->setSearchText(match);
        return;
    }
    contactsTreeProxy->setSearchText(match);
    expandFoundGroups();
}

// While a search is on, every group that has a match is open. expandAll() would lay out the whole
// tree at once on every keystroke; opening only the closed groups (those a search brought back start
// closed) leaves that to the one layout before the next paint.
void ContactListPage::expandFoundGroups()
{
    if (searchText().isEmpty())
        return;
    QTreeView *tree = ui->contactsTreeView;
    const QAbstractItemModel *model = tree->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex group = model->index(row, 0);
        if (!tree->isExpanded(group))
            tree->expand(group);
    }
}

void ContactListPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    placeClearButton();
    ui->contactsTreeView->setFocus();
}

bool ContactListPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->searchLineEdit && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeClearButton();
    return QWidget::eventFilter(watched, event);
}

// The clear button sits inside the right end of the search field: its right edge 3 px from the
// field's, vertically centred.
void ContactListPage::placeClearButton()
{
    const QRect field = ui->searchLineEdit->geometry();
    QPushButton *button = ui->searchClearButton;
    button->resize(button->sizeHint().boundedTo(QSize(16, 16)).expandedTo(QSize(16, 16)));
    button->move(
        field.right() - 3 - button->width() + 1, field.top() + (field.height() - button->height()) / 2);
    button->raise();
}

// ---- rows ------------------------------------------------------------------------------------------

QModelIndex ContactListPage::toTreeModel(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    if (index.model() == contactsTreeModel)
        return index;
    if (index.model() == contactsTreeProxy)
        return contactsTreeProxy->mapToSource(index);
    if (index.model() == contactsListModel)
        return contactsListModel->mapToSource(index);
    if (index.model() == contactsListProxy)
        return contactsListModel->mapToSource(contactsListProxy->mapToSource(index));
    return {};
}

QString ContactListPage::contactNickAt(const QModelIndex &index) const
{
    const Contact *contact = contactsTreeModel->contactAt(toTreeModel(index));
    return contact ? contact->nick() : QString();
}

QString ContactListPage::groupNameAt(const QModelIndex &index) const
{
    const QModelIndex source = toTreeModel(index);
    if (!ContactsTreeModel::isGroupIndex(source))
        return QString();
    const ContactGroup *group = contactsTreeModel->groupAt(source.row());
    return group ? group->name() : QString();
}

void ContactListPage::onDoubleClicked(const QModelIndex &index)
{
    // A group row of the tree: the view itself expands or collapses it.
    if (!index.isValid() || index.data(IsGroupRole).toBool())
        return;
    const int groupRow = index.data(GroupIndexRole).toInt();
    const int contactRow = index.data(ContactIndexRole).toInt();
    LOG_TRACE << "double click on contact" << groupRow << contactRow;
    if (!settings || settings->callStartDblClick()) {
        emit callContact(index.data(Qt::DisplayRole).toString(), index.data(PhoneNumberRole).toString());
        return;
    }
    const QString nick = contactNickAt(index);
    if (groupRow != -1 && contactRow != -1 && !nick.isEmpty())
        emit viewContactDetailsRequested(nick);
}

void ContactListPage::callSelected()
{
    const QModelIndex index = currentView()->currentIndex();
    if (!index.isValid() || index.data(IsGroupRole).toBool())
        return;
    const QString number = index.data(PhoneNumberRole).toString();
    if (number.isEmpty())
        return;
    emit callContact(index.data(Qt::DisplayRole).toString(), number);
}

// ---- context menu ----------------------------------------------------------------------------------

void ContactListPage::onCustomContextMenuRequested(const QPoint &point)
{
    auto *view = qobject_cast<QAbstractItemView *>(sender());
    if (view)
        showContextMenu(view, point);
}

QMenu *ContactListPage::showContextMenu(QAbstractItemView *view, const QPoint &point)
{
    const QModelIndex index = view->indexAt(point);
    if (!index.isValid())
        return nullptr;
    QMenu *menu = nullptr;
    if (index.data(IsGroupRole).toBool()) {
        // The three default groups can be neither edited nor deleted.
        if (index.data(DefaultGroupRole).toBool())
            return nullptr;
        menu = groupMenu(index);
    } else {
        menu = contactMenu(index);
    }
    if (!menu)
        return nullptr;
    if (lastMenu)
        lastMenu->deleteLater();
    lastMenu = menu;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(view->viewport()->mapToGlobal(point));
    return menu;
}

QMenu *ContactListPage::contactMenu(const QModelIndex &index)
{
    menuIndex = QPersistentModelIndex(index);
    menuNick = contactNickAt(index);
    menuName = index.data(Qt::DisplayRole).toString();

    auto *menu = new QMenu(this);
    QMenu *callMenu = menu->addMenu(tr("Call"));
    QMenu *smsMenu = menu->addMenu(tr("Send SMS"));
    callMenu->setObjectName(QStringLiteral("callMenu"));
    smsMenu->setObjectName(QStringLiteral("sendSMSMenu"));
    const QStringList numbers = index.data(PhoneNumbersRole).toStringList();
    const QVariantList types = index.data(PhoneTypesRole).toList();
    for (int i = 0; i < numbers.size(); ++i) {
        const QString iconPath = i < types.size() ? phoneTypeIconPath(types.at(i).toInt()) : QString();
        const QIcon icon = iconPath.isEmpty() ? QIcon() : QIcon(iconPath);
        QAction *call = callMenu->addAction(icon, numbers.at(i));
        call->setData(numbers.at(i));
        connect(call, &QAction::triggered, this, &ContactListPage::onCallNumberActionTriggered);
        QAction *sms = smsMenu->addAction(icon, numbers.at(i));
        sms->setData(numbers.at(i));
        connect(sms, &QAction::triggered, this, &ContactListPage::onSendSMSActionTriggered);
    }
    callMenu->setEnabled(!numbers.isEmpty());
    smsMenu->setEnabled(!numbers.isEmpty());
    menu->addSeparator();
    connect(menu->addAction(tr("Details")), &QAction::triggered, this,
        &ContactListPage::onViewDetailsActionTriggered);
    connect(menu->addAction(tr("Edit")), &QAction::triggered, this,
        &ContactListPage::onEditContactActionTriggered);
    menu->addSeparator();
    connect(menu->addAction(tr("Delete")), &QAction::triggered, this,
        &ContactListPage::onDeleteContactActionTriggered);
    return menu;
}

QMenu *ContactListPage::groupMenu(const QModelIndex &index)
{
    const QString name = groupNameAt(index);
    if (name.isEmpty())
        return nullptr;
    auto *menu = new QMenu(this);
    const struct
    {
        QString text;
        void (ContactListPage::*slot)();
    } entries[] = {
        { tr("Edit"), &ContactListPage::onEditGroupActionTriggered },
        { tr("Delete group, move contacts"), &ContactListPage::onDeleteGroupMoveContactsActionTriggered },
        { tr("Delete group and contacts"), &ContactListPage::onDeleteGroupAndContactsActionTriggered },
    };
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(entry.text);
        action->setData(name);
        connect(action, &QAction::triggered, this, entry.slot);
    }
    return menu;
}

void ContactListPage::onCallNumberActionTriggered()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const QString number = action->data().toString();
    LOG_TRACE << "Call contact" << menuName << number;
    emit callContact(menuName, number);
}

void ContactListPage::onSendSMSActionTriggered()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const QString number = action->data().toString();
    LOG_TRACE << "Sending sms:" << menuName << number;
    emit sendSMS(menuName, number);
}

void ContactListPage::onViewDetailsActionTriggered()
{
    if (!menuNick.isEmpty())
        emit viewContactDetailsRequested(menuNick);
}

void ContactListPage::onEditContactActionTriggered()
{
    if (!menuNick.isEmpty())
        emit editContactRequested(menuNick);
}

void ContactListPage::onDeleteContactActionTriggered()
{
    if (!menuNick.isEmpty())
        emit deleteContactRequested(menuNick);
}

QString ContactListPage::groupOfAction() const
{
    auto *action = qobject_cast<QAction *>(sender());
    return action ? action->data().toString() : QString();
}

void ContactListPage::onEditGroupActionTriggered()
{
    const QString name = groupOfAction();
    if (!name.isEmpty())
        emit editGroupRequested(name);
}

void ContactListPage::onDeleteGroupMoveContactsActionTriggered()
{
    const QString name = groupOfAction();
    if (!name.isEmpty())
        emit deleteGroupRequested(name, true);
}

void ContactListPage::onDeleteGroupAndContactsActionTriggered()
{
    const QString name = groupOfAction();
    if (!name.isEmpty())
        emit deleteGroupRequested(name, false);
}
