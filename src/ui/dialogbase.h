#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

namespace Ui {
class DialogBase;
}

// Base of the program's own dialogs: frameless and translucent, with its own title bar (title,
// minimize, close), an error line shown only while it has text, and a content area that the
// derived dialog fills with its form. The margins of the outer layout are the resize borders; the
// title bar moves the dialog.
class DialogBase : public QDialog
{
    Q_OBJECT
public:
    explicit DialogBase(QWidget *parent = nullptr);
    ~DialogBase() override;

    void setTitle(const QString &title);
    QString title() const;
    void setError(const QString &error);
    QString error() const;
    bool isErrorShown() const;

    // Where the derived dialog puts its form (setupUi on this widget).
    QWidget *dialogContentWidget() const;

    // The edges a press at pos (widget coordinates) grabs: Qt::Edges, empty inside the borders.
    Qt::Edges edgesAt(const QPoint &pos) const;

public slots:
    void minimize();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void updateCursor(const QPoint &pos);

    Ui::DialogBase *ui;
    Qt::Edges resizing;
    bool moving = false;
    bool shownOnce = false;
    QPoint pressPos;
    QRect pressGeometry;
};
