#pragma once

#include <QListView>

class ContactItemDelegate;

// The flat list of all contacts.
class ContactsListView : public QListView
{
    Q_OBJECT
public:
    explicit ContactsListView(QWidget *parent = nullptr);

    ContactItemDelegate *contactDelegate() const { return delegate; }

private:
    ContactItemDelegate *delegate;
};
