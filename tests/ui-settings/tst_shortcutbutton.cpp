#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QtTest>

#include "ui/shortcutbutton.h"

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

// Key capture of the shortcut button: which combinations are taken, what the field shows meanwhile,
// and when hotKeyChanged is emitted.
class TstShortcutButton : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void acceptable_data();
    void acceptable();
    void modifiersText_data();
    void modifiersText();
    void clickStartsCaptureWithTextSelected();
    void capture_data();
    void capture();
    void modifiersAloneShowTheirNames();
    void altGrAloneIsIgnored();
    void releasingModifiersAloneChangesNothing();
    void focusLossEndsCapture();
    void sameSequenceEmitsNothing();
    void resetRestoresResetValue();
    void captureSwallowsApplicationShortcuts();
};

void TstShortcutButton::initTestCase()
{
    qRegisterMetaType<QKeySequence>();
}

void TstShortcutButton::acceptable_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("taken");
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("H alone") << int(Qt::Key_H) << none << false;
    QTest::newRow("Ctrl+H") << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("Shift+H") << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::newRow("Alt+Left") << int(Qt::Key_Left) << Qt::KeyboardModifiers(Qt::AltModifier) << true;
    QTest::newRow("Escape alone") << int(Qt::Key_Escape) << none << true;
    QTest::newRow("Return alone") << int(Qt::Key_Return) << none << true;
    QTest::newRow("Enter alone") << int(Qt::Key_Enter) << none << true;
    QTest::newRow("F5 alone") << int(Qt::Key_F5) << none << false;
    QTest::newRow("Right alone") << int(Qt::Key_Right) << none << false;
    QTest::newRow("Meta is no modifier")
        << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::MetaModifier) << false;
    QTest::newRow("Meta key with Ctrl")
        << int(Qt::Key_Meta) << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl key itself") << int(Qt::Key_Control) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                     << false;
    QTest::newRow("AltGr") << int(Qt::Key_AltGr) << Qt::KeyboardModifiers(Qt::AltModifier) << false;
    QTest::newRow("no key") << 0 << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
}

void TstShortcutButton::acceptable()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, taken);
    QCOMPARE(ShortcutButton::isAcceptable(key, modifiers), taken);
}

void TstShortcutButton::modifiersText_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::newRow("control") << Qt::KeyboardModifiers(Qt::ControlModifier) << "Control  ...";
    QTest::newRow("shift") << Qt::KeyboardModifiers(Qt::ShiftModifier) << "Shift  ...";
    QTest::newRow("alt") << Qt::KeyboardModifiers(Qt::AltModifier) << "Alt  ...";
    QTest::newRow("all, in order") << (Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier)
                                   << "Control Shift Alt  ...";
    QTest::newRow("meta is not named") << (Qt::MetaModifier | Qt::ShiftModifier) << "Shift  ...";
}

void TstShortcutButton::modifiersText()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    QCOMPARE(ShortcutButton::modifiersText(modifiers), text);
}

void TstShortcutButton::clickStartsCaptureWithTextSelected()
{
    ShortcutButton button;
    button.setKeySequence(QKeySequence(QStringLiteral("Ctrl+H")));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QCOMPARE(button.button()->text(), QStringLiteral("Ctrl+H"));
    QTest::mouseClick(button.button(), Qt::LeftButton);
    QVERIFY(button.isCapturing());
    QCOMPARE(button.lineEdit()->text(), QStringLiteral("Ctrl+H"));
    QCOMPARE(button.lineEdit()->selectedText(), QStringLiteral("Ctrl+H"));
    QTRY_VERIFY(button.lineEdit()->hasFocus());
}

void TstShortcutButton::capture_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("emitted");
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("H alone keeps the old") << int(Qt::Key_H) << none << "Ctrl+Left" << false;
    QTest::newRow("Ctrl+H taken") << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::ControlModifier) << "Ctrl+H"
                                  << true;
    QTest::newRow("Escape alone taken") << int(Qt::Key_Escape) << none << "Esc" << true;
    QTest::newRow("Return alone taken") << int(Qt::Key_Return) << none << "Return" << true;
    QTest::newRow("Ctrl+Shift+F2 taken")
        << int(Qt::Key_F2) << (Qt::ControlModifier | Qt::ShiftModifier) << "Ctrl+Shift+F2" << true;
    QTest::newRow("Meta+H keeps the old")
        << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::MetaModifier) << "Ctrl+Left" << false;
}

void TstShortcutButton::capture()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, result);
    QFETCH(bool, emitted);
    ShortcutButton button;
    button.setKeySequence(QKeySequence(QStringLiteral("Ctrl+Left")));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy spy(&button, &ShortcutButton::hotKeyChanged);
    QTest::mouseClick(button.button(), Qt::LeftButton);
    QTest::keyPress(button.lineEdit(), Qt::Key(key), modifiers);
    if (modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier))
        QCOMPARE(button.captureText(), QKeySequence(int(modifiers) | key).toString(QKeySequence::NativeText));
    QTest::keyRelease(button.lineEdit(), Qt::Key(key), modifiers);
    QVERIFY(!button.isCapturing());
    QCOMPARE(button.keySequence().toString(QKeySequence::PortableText), result);
    QCOMPARE(spy.size(), emitted ? 1 : 0);
    if (emitted)
        QCOMPARE(spy.first().first().value<QKeySequence>(), button.keySequence());
    QCOMPARE(button.button()->text(), button.keySequence().toString(QKeySequence::NativeText));
}

void TstShortcutButton::modifiersAloneShowTheirNames()
{
    ShortcutButton button;
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(button.button(), Qt::LeftButton);
    QTest::keyPress(button.lineEdit(), Qt::Key_Control, Qt::NoModifier);
    QCOMPARE(button.captureText(), QStringLiteral("Control  ..."));
    QTest::keyPress(button.lineEdit(), Qt::Key_Shift, Qt::ControlModifier);
    QCOMPARE(button.captureText(), QStringLiteral("Control Shift  ..."));
    QTest::keyPress(button.lineEdit(), Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(button.captureText(), QStringLiteral("Ctrl+Shift+X"));
    QTest::keyRelease(button.lineEdit(), Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(button.keySequence(), QKeySequence(QStringLiteral("Ctrl+Shift+X")));
}

void TstShortcutButton::altGrAloneIsIgnored()
{
    ShortcutButton button;
    button.setKeySequence(QKeySequence(QStringLiteral("Alt+Left")));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(button.button(), Qt::LeftButton);
    // QTest cannot type AltGr: send the events as the platform would.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_AltGr, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_AltGr, Qt::GroupSwitchModifier);
    QApplication::sendEvent(button.lineEdit(), &press);
    QApplication::sendEvent(button.lineEdit(), &release);
    QVERIFY(button.isCapturing());
    QCOMPARE(button.captureText(), QStringLiteral("Alt+Left"));
    QCOMPARE(button.keySequence(), QKeySequence(QStringLiteral("Alt+Left")));
}

void TstShortcutButton::releasingModifiersAloneChangesNothing()
{
    ShortcutButton button;
    button.setKeySequence(QKeySequence(QStringLiteral("Ctrl+H")));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy spy(&button, &ShortcutButton::hotKeyChanged);
    QTest::mouseClick(button.button(), Qt::LeftButton);
    QTest::keyPress(button.lineEdit(), Qt::Key_Alt, Qt::NoModifier);
    QVERIFY(button.isCapturing());
    QTest::keyRelease(button.lineEdit(), Qt::Key_Alt, Qt::AltModifier);
    QVERIFY(!button.isCapturing());
    QCOMPARE(spy.size(), 0);
    QCOMPARE(button.keySequence(), QKeySequence(QStringLiteral("Ctrl+H")));
}

void TstShortcutButton::focusLossEndsCapture()
{
    QWidget window;
    auto *button = new ShortcutButton(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button->button(), Qt::LeftButton);
    QTRY_VERIFY(button->lineEdit()->hasFocus());
    other->setFocus();
    QTRY_VERIFY(!button->isCapturing());
}

void TstShortcutButton::sameSequenceEmitsNothing()
{
    ShortcutButton button;
    QSignalSpy spy(&button, &ShortcutButton::hotKeyChanged);
    button.setKeySequence(QKeySequence(QStringLiteral("Ctrl+H")));
    button.setKeySequence(QKeySequence(QStringLiteral("Ctrl+H")));
    QCOMPARE(spy.size(), 1);
    button.setKeySequence(QKeySequence(QStringLiteral("Ctrl+J")));
    QCOMPARE(spy.size(), 2);
    QCOMPARE(button.previousKeySequence(), QKeySequence(QStringLiteral("Ctrl+H")));
}

void TstShortcutButton::resetRestoresResetValue()
{
    ShortcutButton button;
    button.setResetValue(QKeySequence(Qt::Key_Return));
    button.setKeySequence(QKeySequence(QStringLiteral("Ctrl+K")));
    QSignalSpy spy(&button, &ShortcutButton::hotKeyChanged);
    button.resetToDefault();
    QCOMPARE(button.keySequence(), QKeySequence(Qt::Key_Return));
    QCOMPARE(spy.size(), 1);
}

void TstShortcutButton::captureSwallowsApplicationShortcuts()
{
    QWidget window;
    auto *button = new ShortcutButton(&window);
    auto *shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+H")), &window);
    shortcut->setContext(Qt::ApplicationShortcut);
    QSignalSpy activated(shortcut, &QShortcut::activated);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button->button(), Qt::LeftButton);
    QTRY_VERIFY(button->lineEdit()->hasFocus());
    QTest::keyClick(button->lineEdit(), Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(activated.size(), 0);
    QCOMPARE(button->keySequence(), QKeySequence(QStringLiteral("Ctrl+H")));
}

QTEST_MAIN(TstShortcutButton)
#include "tst_shortcutbutton.moc"
