#pragma once

#include <QModelIndex>
#include <QStringList>
#include <QWidget>

class ContactManager;
class QListWidget;

// The list of recently dialled numbers under the number field's recent button.
class RecentNumbersPopup : public QWidget
{
    Q_OBJECT
public:
    static constexpr int maxNumbers = 16;

    explicit RecentNumbersPopup(QWidget *parent = nullptr);

    void setNumbers(const QStringList &numbers);
    // Names the numbers that belong to a contact; may be null.
    void setContactManager(const ContactManager *manager);
    QListWidget *listWidget() const { return list; }

public slots:
    void onClosePicker();
    void onNumberSelected(const QModelIndex &index);

signals:
    void closed();
    void numberSelected(QString number);

protected:
    bool event(QEvent *event) override;

private:
    QListWidget *list;
    class RecentNumberItemDelegate *delegate;
};
