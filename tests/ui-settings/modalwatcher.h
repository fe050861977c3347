#pragma once

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

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == handled)
            return;
        handled = modal;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages << box->windowTitle() + QLatin1Char('|') + box->text();
            QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
        } else if (handler) {
            QWidget *dialog = modal;
            QTimer::singleShot(0, dialog, [this, dialog] { handler(dialog); });
        }
    }

    Handler handler;
    QTimer timer;
    QPointer<QWidget> handled;
};
