#pragma once

#include <QPushButton>
#include <QStaticText>

// A push button whose label is rich text (a red "BUY", say).
class CustomPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CustomPushButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStaticText label() const;
};
