#pragma once

#include <QDate>
#include <QWidget>

namespace Ui {
class VirtualNumberItemWidget;
}
struct VirtualNumber;

// One row of the virtual-numbers list: flag, number, expiry and a button to renew it on the web shop.
class VirtualNumberItemWidget : public QWidget
{
    Q_OBJECT
public:
    explicit VirtualNumberItemWidget(QWidget *parent = nullptr);
    ~VirtualNumberItemWidget() override;

    // today: the day the expiry is measured against.
    void setVirtualNumber(const VirtualNumber &number, const QDate &today);

    QString numberText() const;
    QString expirationText() const;
    bool isExpired() const;

    // "expires on %1" when the date lies after today, else "expired on %1"; empty for an unknown date.
    static QString expirationText(const QDate &date, const QDate &today);
    static bool isExpired(const QDate &date, const QDate &today);

signals:
    void renewClicked();

private:
    Ui::VirtualNumberItemWidget *ui;
};
