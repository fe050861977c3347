#pragma once

#include <QWidget>

namespace Ui {
class ContactWidget;
}

// One contact in the group dialog's list: name, current group, and a button that puts the contact
// into the group (ADD) or shows that it is in it (REMOVE).
class ContactWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ContactWidget(QWidget *parent = nullptr);
    ~ContactWidget() override;

    void setName(const QString &name);
    QString name() const;
    // Shown as "(group)".
    void setGroup(const QString &group);
    QString group() const;
    void setContactIndex(int index) { contactRow = index; }
    int contactIndex() const { return contactRow; }
    void setGroupIndex(int index) { groupRow = index; }
    int groupIndex() const { return groupRow; }
    // The contact's key, which stays right when rows move.
    void setNick(const QString &nick) { contactNick = nick; }
    QString nick() const { return contactNick; }
    void setChecked(bool checked);
    bool isChecked() const;

private slots:
    void onAddRemoveClicked(bool checked);

private:
    Ui::ContactWidget *ui;
    int contactRow = -1;
    int groupRow = -1;
    QString contactNick;
};
