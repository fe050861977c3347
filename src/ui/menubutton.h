#pragma once

#include <QWidget>

class QBoxLayout;
class QLabel;

// An icon over (or beside) a text that acts as a button. Its look follows the dynamic property
// "_state": "normal", "hovered", "pressed" or "selected".
class MenuButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool horizontalOrientation READ horizontalOrientation WRITE setHorizontalOrientation)
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    enum State {
        Normal = 0,
        Hovered = 1,
        Pressed = 2,
        Selected = 3,
    };

    explicit MenuButton(QWidget *parent = nullptr);

    bool horizontalOrientation() const { return horizontal; }
    void setHorizontalOrientation(bool on);
    QString text() const;
    void setText(const QString &text);
    bool isSelected() const { return selected; }
    State state() const { return current; }

    static QString stateName(int state);

public slots:
    void setSelected(bool on);

signals:
    void clicked();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setState(State state);
    void release(bool inside);

    QBoxLayout *layout;
    QLabel *iconLabel;
    QLabel *textLabel;
    State current = Normal;
    bool hovered = false;
    bool selected = false;
    bool horizontal = false;
    bool releaseHandled = false;
};
