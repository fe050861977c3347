#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

// Answers the next modal message box (the tests run offscreen, where nobody else would): remembers
// its title and text and presses the given button.
class ModalWatcher : public QObject
{
public:
    explicit ModalWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok, QObject *parent = nullptr)
        : QObject(parent), answer(answer)
    {
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, [this]() { poll(); });
        timer.start();
    }

    bool seen() const { return count > 0; }
    int count = 0;
    QString title;
    QString text;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ++count;
        title = box->windowTitle();
        text = box->text();
        QAbstractButton *button = box->button(answer);
        if (button)
            button->click();
        else
            box->done(answer);
    }

    QMessageBox::StandardButton answer;
    QTimer timer;
};
