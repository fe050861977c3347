#pragma once

#include <QDialog>

namespace Ui {
class MinimizeToTrayDialog;
}
class Settings;

// Tells the user that closing the window leaves the program running in the notification area.
class MinimizeToTrayDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MinimizeToTrayDialog(Settings *settings, QWidget *parent = nullptr);
    ~MinimizeToTrayDialog() override;

private slots:
    void onOkClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::MinimizeToTrayDialog *ui;
    Settings *settings;
};
