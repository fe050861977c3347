#pragma once

#include <QWidget>

namespace Ui {
class CallSwitchListItemWidget;
}

// One call in the call-switch list: who it is with, the number, how long it has run, and whether it
// is the call being talked on ("ACTIVE") or waits ("ON HOLD").
class CallSwitchListItemWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CallSwitchListItemWidget(QWidget *parent = nullptr);
    ~CallSwitchListItemWidget() override;

    // An empty name shows "Unknown".
    void setContactName(const QString &name);
    void setNumber(const QString &number);
    void setActive(bool active);
    void setSelected(bool selected);
    void setDurationSeconds(qint64 seconds);

    QString contactText() const;
    QString numberText() const;
    QString stateText() const;
    QString durationText() const;
    bool isActive() const;
    bool isSelected() const;

    // "mm:ss", with the hours in front ("h:mm:ss") from the first full hour on.
    static QString formatDuration(qint64 seconds);

private:
    void updateAccessibleName();

    Ui::CallSwitchListItemWidget *ui;
};
