#include "ui/shortcutbutton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

namespace {

const Qt::KeyboardModifiers captureMask = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;

// The modifier a modifier key stands for; none for other keys (Meta is a key here).
Qt::KeyboardModifiers modifierOfKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Alt:
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

} // namespace

ShortcutButton::ShortcutButton(QWidget *parent)
    : QWidget(parent)
    , stack(new QStackedWidget(this))
    , pushButton(new QPushButton(stack))
    , edit(new QLineEdit(stack))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack);
    pushButton->setObjectName(QStringLiteral("shortcutPushButton"));
    edit->setObjectName(QStringLiteral("shortcutLineEdit"));
    pushButton->setToolTip(tr("Click, then press the new key combination"));
    edit->setAccessibleName(tr("Press the new key combination"));
    stack->addWidget(pushButton);
    stack->addWidget(edit);
    edit->installEventFilter(this);
    setFocusProxy(pushButton);
    connect(pushButton, &QPushButton::clicked, this, &ShortcutButton::onEditShortcutClicked);
    updateButtonText();
}

void ShortcutButton::setKeySequence(const QKeySequence &keySequence)
{
    if (keySequence == sequence)
        return;
    previous = sequence;
    sequence = keySequence;
    updateButtonText();
    emit hotKeyChanged(sequence);
}

bool ShortcutButton::isCapturing() const
{
    return stack->currentWidget() == edit;
}

QString ShortcutButton::captureText() const
{
    return edit->text();
}

QString ShortcutButton::modifiersText(Qt::KeyboardModifiers modifiers)
{
    QString text;
    if (modifiers & Qt::ControlModifier)
        text += QStringLiteral("Control ");
    if (modifiers & Qt::ShiftModifier)
        text += QStringLiteral("Shift ");
    if (modifiers & Qt::AltModifier)
        text += QStringLiteral("Alt ");
    return text + QStringLiteral(" ...");
}

bool ShortcutButton::isAcceptable(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == 0 || key == Qt::Key_unknown || modifierOfKey(key) || key == Qt::Key_AltGr)
        return false;
    if (modifiers & captureMask)
        return true;
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

void ShortcutButton::resetToDefault()
{
    setKeySequence(reset);
}

void ShortcutButton::onEditShortcutClicked()
{
    captureModifiers = Qt::NoModifier;
    captureKey = 0;
    edit->setText(sequence.toString(QKeySequence::NativeText));
    stack->setCurrentWidget(edit);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool ShortcutButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != edit || !isCapturing())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While capturing, every key is ours, not the application's hot keys'.
        event->accept();
        return true;
    case QEvent::KeyPress:
        keyPressed(static_cast<QKeyEvent *>(event));
        return true;
    case QEvent::KeyRelease:
        keyReleased(static_cast<QKeyEvent *>(event));
        return true;
    case QEvent::FocusOut:
        endCapture();
        return false;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ShortcutButton::keyPressed(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_AltGr || event->isAutoRepeat())
        return;
    const Qt::KeyboardModifiers held = (event->modifiers() & captureMask) | modifierOfKey(key);
    if (modifierOfKey(key)) {
        if (captureKey == 0) {
            captureModifiers = held;
            edit->setText(modifiersText(captureModifiers));
        }
        return;
    }
    captureKey = key;
    captureModifiers = held;
    edit->setText(QKeySequence(int(captureModifiers) | key).toString(QKeySequence::NativeText));
}

void ShortcutButton::keyReleased(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_AltGr || event->isAutoRepeat())
        return;
    if (captureKey != 0) {
        if (isAcceptable(captureKey, captureModifiers))
            setKeySequence(QKeySequence(int(captureModifiers) | captureKey));
        endCapture();
        return;
    }
    // Only modifiers so far: letting go of all of them chooses nothing.
    captureModifiers &= ~modifierOfKey(key);
    captureModifiers &= event->modifiers() & captureMask;
    if (!captureModifiers)
        endCapture();
    else
        edit->setText(modifiersText(captureModifiers));
}

void ShortcutButton::endCapture()
{
    captureModifiers = Qt::NoModifier;
    captureKey = 0;
    const bool hadFocus = edit->hasFocus();
    stack->setCurrentWidget(pushButton);
    updateButtonText();
    if (hadFocus)
        pushButton->setFocus(Qt::OtherFocusReason);
}

void ShortcutButton::updateButtonText()
{
    const QString text = sequence.toString(QKeySequence::NativeText);
    pushButton->setText(text.isEmpty() ? tr("None") : text);
    pushButton->setAccessibleName(tr("Key: %1").arg(pushButton->text()));
}
