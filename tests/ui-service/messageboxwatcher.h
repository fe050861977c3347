#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the message boxes a screen opens while a test drives it: records title and text of each,
// then closes it, so that a modal box never blocks the test.
class MessageBoxWatcher : public QObject
{
    Q_OBJECT
public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };

    explicit MessageBoxWatcher(QObject *parent = nullptr) : QObject(parent)
    {
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, &MessageBoxWatcher::check);
        timer.start();
    }

    QList<Box> boxes;

    void clear() { boxes.clear(); }

private slots:
    void check()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible())
                continue;
            boxes.append({ box->windowTitle(), box->text(), box->icon() });
            box->done(QMessageBox::Ok);
        }
    }

private:
    QTimer timer;
};
