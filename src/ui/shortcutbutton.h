#pragma once

#include <QKeySequence>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QStackedWidget;

// A button that shows one key combination and, once clicked, captures a new one from the keyboard:
// Escape, Return and Enter are taken alone, any other key only together with Ctrl, Shift or Alt.
class ShortcutButton : public QWidget
{
    Q_OBJECT
public:
    explicit ShortcutButton(QWidget *parent = nullptr);

    QKeySequence keySequence() const { return sequence; }
    // Emits hotKeyChanged when the sequence differs from the current one.
    void setKeySequence(const QKeySequence &keySequence);
    // The sequence held before the last change.
    QKeySequence previousKeySequence() const { return previous; }
    QKeySequence resetValue() const { return reset; }
    void setResetValue(const QKeySequence &value) { reset = value; }

    bool isCapturing() const;
    // The text the edit page shows while capturing.
    QString captureText() const;
    QPushButton *button() const { return pushButton; }
    QLineEdit *lineEdit() const { return edit; }

    // What the field shows while only modifiers are held: "Control ", "Shift ", "Alt " as held,
    // then " ...".
    static QString modifiersText(Qt::KeyboardModifiers modifiers);
    // Whether a key released with these modifiers becomes the new sequence.
    static bool isAcceptable(int key, Qt::KeyboardModifiers modifiers);

public slots:
    void resetToDefault();
    void onEditShortcutClicked();

signals:
    void hotKeyChanged(QKeySequence sequence);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keyPressed(QKeyEvent *event);
    void keyReleased(QKeyEvent *event);
    void endCapture();
    void updateButtonText();

    QStackedWidget *stack;
    QPushButton *pushButton;
    QLineEdit *edit;
    QKeySequence sequence;
    QKeySequence previous;
    QKeySequence reset;
    // Capture state: the modifiers held and the key pressed with them (0 while none).
    Qt::KeyboardModifiers captureModifiers;
    int captureKey = 0;
};
