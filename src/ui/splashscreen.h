#pragma once

#include <QWidget>

// The picture shown while the program starts; the style sheet draws it.
class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    explicit SplashScreen(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
