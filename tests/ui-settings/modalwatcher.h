#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal windows a dialog opens while the test drives it: every message box is recorded
// ("title|text") and closed; any other modal dialog goes to the handler (which must end it).
class ModalWatcher : public QObject
{
public:
    using Handler = std::function<void(QWidget *dialog)>;

    explicit ModalWatcher(Handler handler = Handler()) : handler(std::move(handler))
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start();
    }

    QStringList messages;
    // The button a message box is closed with.
    QMessageBox::StandardButton answer = QMessageBox::Ok;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == handled)
            return;
        handled = modal;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages << box->windowTitle() + QLatin1Char('|') + box->text();
            const QMessageBox::StandardButton wanted = answer;
            QTimer::singleShot(0, box, [box, wanted] {
                // The static helpers read the clicked button, not the result code.
                if (QAbstractButton *button = box->button(wanted))
                    button->click();
                else
                    box->done(wanted);
            });
        } else if (handler) {
            QWidget *dialog = modal;
            QTimer::singleShot(0, dialog, [this, dialog] { handler(dialog); });
        }
    }

    Handler handler;
    QTimer timer;
    QPointer<QWidget> handled;
};
