#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "ui/menubutton.h"

class TstMenuButton : public QObject
{
    Q_OBJECT

private slots:
    void stateNames_data();
    void stateNames();
    void clickEmitsOnce();
    void clickOnLabelEmitsOnce();
    void disabledDoesNotEmit();
    void selectedStaysSelected();
    void orientation();
};

void TstMenuButton::stateNames_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("name");
    QTest::newRow("normal") << 0 << QStringLiteral("normal");
    QTest::newRow("hovered") << 1 << QStringLiteral("hovered");
    QTest::newRow("pressed") << 2 << QStringLiteral("pressed");
    QTest::newRow("selected") << 3 << QStringLiteral("selected");
    QTest::newRow("unknown") << 4 << QString();
    QTest::newRow("negative") << -1 << QString();
}

void TstMenuButton::stateNames()
{
    QFETCH(int, state);
    QFETCH(QString, name);
    QCOMPARE(MenuButton::stateName(state), name);
}

void TstMenuButton::clickEmitsOnce()
{
    MenuButton button;
    button.setText(QStringLiteral("Dial pad"));
    button.resize(80, 50);
    button.show();
    QSignalSpy clicked(&button, &MenuButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(button.property("_state").toString(), QStringLiteral("pressed"));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(button.property("_state").toString(), QStringLiteral("hovered"));
    // Released outside: no click.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(500, 500));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(button.property("_state").toString(), QStringLiteral("normal"));
}

void TstMenuButton::clickOnLabelEmitsOnce()
{
    MenuButton button;
    button.setText(QStringLiteral("Contacts"));
    button.resize(80, 50);
    button.show();
    QSignalSpy clicked(&button, &MenuButton::clicked);
    auto *label = button.findChild<QLabel *>(QStringLiteral("textLabel"));
    QVERIFY(label);
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(clicked.count(), 1);
}

void TstMenuButton::disabledDoesNotEmit()
{
    MenuButton button;
    button.resize(80, 50);
    button.show();
    button.setEnabled(false);
    QSignalSpy clicked(&button, &MenuButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicked.count(), 0);
}

void TstMenuButton::selectedStaysSelected()
{
    MenuButton button;
    button.resize(80, 50);
    button.show();
    button.setSelected(true);
    QCOMPARE(button.property("_state").toString(), QStringLiteral("selected"));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(button.property("_state").toString(), QStringLiteral("selected"));
    button.setSelected(false);
    QVERIFY(button.property("_state").toString() != QStringLiteral("selected"));
}

void TstMenuButton::orientation()
{
    MenuButton button;
    QVERIFY(!button.horizontalOrientation());
    auto *icon = button.findChild<QLabel *>(QStringLiteral("iconLabel"));
    auto *text = button.findChild<QLabel *>(QStringLiteral("textLabel"));
    button.setText(QStringLiteral("Speaker"));
    button.setHorizontalOrientation(true);
    button.resize(120, 40);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QVERIFY(icon->geometry().right() <= text->geometry().left());
    button.setHorizontalOrientation(false);
    QTRY_VERIFY(icon->geometry().bottom() <= text->geometry().top());
}

QTEST_MAIN(TstMenuButton)
#include "tst_menubutton.moc"
