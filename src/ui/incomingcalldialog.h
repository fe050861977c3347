#pragma once

#include <QDialog>
#include <QPoint>

namespace Ui {
class IncomingCallDialog;
}

// "Someone is calling": answer, decline or close. Frameless; dragged with the left mouse button.
class IncomingCallDialog : public QDialog
{
    Q_OBJECT
public:
    explicit IncomingCallDialog(QWidget *parent = nullptr);
    ~IncomingCallDialog() override;

    // The caller: the contact's name when known, else the number.
    void setCaller(const QString &number, const QString &name);
    QString infoText() const;

public slots:
    void onAcceptCall();
    void onRejectCall();

signals:
    void acceptCall();
    void rejectCall();
    void voiceMailClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::IncomingCallDialog *ui;
    QPoint dragOffset;
    bool dragging = false;
};
