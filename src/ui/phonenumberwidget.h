#pragma once

#include <QWidget>

namespace Ui {
class PhoneNumberWidget;
}
class QMenu;

// One phone row of the contact dialog: the number, a button choosing its type (home, work, mobile)
// and the buttons that add a row after it or remove it.
class PhoneNumberWidget : public QWidget
{
    Q_OBJECT
public:
    // Which of the add and remove buttons a row shows.
    enum ButtonsMode {
        AddOnly = 0,
        RemoveOnly = 1,
        AddAndRemove = 2,
    };

    explicit PhoneNumberWidget(QWidget *parent = nullptr);
    ~PhoneNumberWidget() override;

    QString text() const;
    void setText(const QString &text);
    // 0 home, 1 work, 2 mobile.
    int type() const { return phoneType; }
    void setType(int type);
    void setButtonsVisible(int mode);
    QMenu *phoneTypePopup() const { return typePopup; }
    // The stylesheet key of a type: "home", "work", "mobile", or empty.
    static QString phoneTypeKey(int type);

signals:
    void addClicked();
    void removeClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onChoosePhoneTypeClicked();
    void onPhoneTypeChosen();

private:
    Ui::PhoneNumberWidget *ui;
    QMenu *typePopup;
    int phoneType = 0;
};
