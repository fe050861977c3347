#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "contactmanager.h"
#include "fakeengine.h"
#include "fakerestmanager.h"
#include "phone/phone.h"
#include "rest/phonenumber.h"
#include "talk/callinstance.h"
#include "talk/vesktalk.h"
#include "testhooks.h"
#include "ui/callswitchdialog.h"
#include "ui/callswitchlistitemwidget.h"
#include "application.h"
#include "screenshots.h"
#include "ui/dialpadpage.h"

namespace {

const std::string annaJid = "+15550100@localhost";
const std::string strangerJid = "+15550199@localhost";

// A call whose running time the test sets; the engine's calls report no time of their own.
class TimedCall : public talk::Call
{
public:
    explicit TimedCall(QString number) : number(std::move(number)) { }

    State state() const override { return Active; }
    bool isOnHold() const override { return false; }
    bool isIncoming() const override { return false; }
    talk::Jid remoteJid() const override { return talk::Jid(number, QStringLiteral("localhost")); }
    unsigned int id() const override { return 77; }
    int durationSeconds() const override { return seconds; }
    QList<talk::ConnectionInfo> connectionInfos() const override { return {}; }
    bool accept(bool) override { return false; }
    bool reject() override { return false; }
    void hangup() override { }
    void setMuted(bool) override { }
    void startConnectionMonitor(int) override { }
    bool startRecordingPlayout(QString) override { return false; }
    bool stopRecordingPlayout() override { return false; }
    void sendDTMF(QChar) override { }

    QString number;
    int seconds = 0;
};

Account voiceAccount()
{
    Account account;
    account.setUsername(QStringLiteral("demo"));
    account.setSipUser(QStringLiteral("demo"));
    account.setSipDomain(QStringLiteral("localhost"));
    account.setSipPassword(QStringLiteral("demo-voice-secret"));
    return account;
}

Contact anna()
{
    Contact contact;
    contact.setNick(QStringLiteral("anna"));
    contact.setFirstName(QStringLiteral("Anna"));
    contact.setLastName(QStringLiteral("Berg"));
    contact.setGroupName(QStringLiteral("Friends"));
    PhoneNumber phone;
    phone.setNumber(QStringLiteral("+15550100"));
    contact.setPhones({ phone });
    return contact;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString labelText(const CallSwitchListItemWidget *item, const char *name)
{
    return item->findChild<QLabel *>(QLatin1String(name))->text();
}

} // namespace

// The call-switch dialog as the dial pad runs it: one row per call of the signed-in phone, the focus
// call marked active, a click on a row switching the phone to that call.
class TstCallSwitchDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formatDuration_data();
    void formatDuration();
    void rowShowsNameOrUnknown_data();
    void rowShowsNameOrUnknown();
    void rowStateFollowsActive();
    void selectedRowIsPaintedByTheStyleSheet();

    void oneCallIsNoSwitch();
    void twoCallsShowTwoRows();
    void engineFocusChangeMovesActiveMark();
    void clickingARowSwitchesTheFocusCall();
    void hungUpCallLeavesTheList();
    void dialogOpenedDuringCallsListsThem();
    void durationFollowsTheCall();
    void deletedCallLeavesTheList();

private:
    fake::Call *startCall(const std::string &jid, bool incoming);
    const talk::Call *wrapperOf(fake::Call *call) const { return talk::CallInstance::find(call); }
    QListWidget *list() const;
    void clickRow(const talk::Call *call);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeRestManager> rest;
    std::unique_ptr<talk::VeskTalk> talk;
    std::unique_ptr<ContactManager> contacts;
    std::unique_ptr<Phone> phone;
    std::unique_ptr<DialPadPage> page;
    DelayRecorder phoneDelays;
    DelayRecorder talkDelays;
};

void TstCallSwitchDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane Call Switch Test"));
    qRegisterMetaType<const talk::Call *>();
    Q_INIT_RESOURCE(css);
}

void TstCallSwitchDialog::init()
{
    fake::clearCalls();
    phoneDelays.clear();
    talkDelays.clear();
    rest = std::make_unique<FakeRestManager>();
    talk = std::make_unique<talk::VeskTalk>(QStringLiteral(FAKE_ENGINE_LIBRARY));
    talk->setVoiceServer(QStringLiteral("127.0.0.1"), 5999);
    talk->setDelayedCall(talkDelays.hook());
    talk->setConnectivityCheck([] { return true; });
    contacts = std::make_unique<ContactManager>();
    phone = std::make_unique<Phone>();
    phone->setDelayedCall(phoneDelays.hook());
    phone->setRestManager(rest.get());
    phone->setTalk(talk.get());
    phone->setContactManager(contacts.get());
    page = std::make_unique<DialPadPage>();
    page->setContactManager(contacts.get());
    page->setPhone(phone.get());
    page->show();

    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->requestFinished(voiceAccount());
    fake::session()->completeLogin();
    QCOMPARE(phone->state(), Phone::State::SignedIn);
    QVERIFY(contacts->addOldContact(anna()));
}

void TstCallSwitchDialog::cleanup()
{
    page.reset();
    phone.reset();
    contacts.reset();
    talk.reset();
    rest.reset();
    qApp->setStyleSheet(QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

fake::Call *TstCallSwitchDialog::startCall(const std::string &jid, bool incoming)
{
    fake::Call *call = fake::session()->media.createCall(jid, incoming);
    call->state = vesk::ICallInstance::STATE_ACTIVE;
    call->SignalSessionInitiated(call);
    call->SignalInProgress(call);
    return call;
}

QListWidget *TstCallSwitchDialog::list() const
{
    return page->callSwitchDialog()->findChild<QListWidget *>(QStringLiteral("callListWidget"));
}

void TstCallSwitchDialog::clickRow(const talk::Call *call)
{
    CallSwitchListItemWidget *item = page->callSwitchDialog()->itemWidget(call);
    QVERIFY(item);
    // Where the user clicks: on the row's text.
    auto *label = item->findChild<QLabel *>(QStringLiteral("contactLabel"));
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
}

void TstCallSwitchDialog::formatDuration_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing yet") << qint64(0) << QStringLiteral("00:00");
    QTest::newRow("one second") << qint64(1) << QStringLiteral("00:01");
    QTest::newRow("under a minute") << qint64(59) << QStringLiteral("00:59");
    QTest::newRow("a minute") << qint64(60) << QStringLiteral("01:00");
    QTest::newRow("last second before the hour") << qint64(3599) << QStringLiteral("59:59");
    QTest::newRow("the full hour") << qint64(3600) << QStringLiteral("1:00:00");
    QTest::newRow("1 h 2 min 3 s") << qint64(3600 + 2 * 60 + 3) << QStringLiteral("1:02:03");
    QTest::newRow("ten hours") << qint64(10 * 3600 + 59) << QStringLiteral("10:00:59");
    QTest::newRow("a hundred hours") << qint64(100 * 3600) << QStringLiteral("100:00:00");
    QTest::newRow("clock went back") << qint64(-5) << QStringLiteral("00:00");
}

void TstCallSwitchDialog::formatDuration()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(CallSwitchListItemWidget::formatDuration(seconds), text);
    CallSwitchListItemWidget item;
    item.setDurationSeconds(seconds);
    QCOMPARE(labelText(&item, "callDurationLabel"), text);
}

void TstCallSwitchDialog::rowShowsNameOrUnknown_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("contact") << QStringLiteral("Anna Berg") << QStringLiteral("Anna Berg");
    QTest::newRow("no contact") << QString() << QStringLiteral("Unknown");
    QTest::newRow("markup stays text") << QStringLiteral("<b>Bo</b>") << QStringLiteral("<b>Bo</b>");
}

void TstCallSwitchDialog::rowShowsNameOrUnknown()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    CallSwitchListItemWidget item;
    item.setContactName(name);
    item.setNumber(QStringLiteral("+15550100"));
    QCOMPARE(labelText(&item, "contactLabel"), shown);
    QCOMPARE(item.findChild<QLabel *>(QStringLiteral("contactLabel"))->textFormat(), Qt::PlainText);
    QCOMPARE(labelText(&item, "numberLabel"), QStringLiteral("+15550100"));
    QVERIFY(item.accessibleName().startsWith(shown + QStringLiteral(", +15550100")));
}

void TstCallSwitchDialog::rowStateFollowsActive()
{
    CallSwitchListItemWidget item;
    auto *state = item.findChild<QLabel *>(QStringLiteral("callStateLabel"));
    QCOMPARE(state->text(), QStringLiteral("ON HOLD"));
    QCOMPARE(state->property("_active").toBool(), false);
    item.setActive(true);
    QCOMPARE(state->text(), QStringLiteral("ACTIVE"));
    QCOMPARE(state->property("_active").toBool(), true);
    QVERIFY(item.accessibleName().endsWith(QStringLiteral("ACTIVE")));
    item.setActive(false);
    QCOMPARE(state->text(), QStringLiteral("ON HOLD"));
    QCOMPARE(state->property("_active").toBool(), false);
}

void TstCallSwitchDialog::selectedRowIsPaintedByTheStyleSheet()
{
    qApp->setStyleSheet(readText(QStringLiteral(":/css/common-stylesheet.css"))
        + readText(QStringLiteral(":/css/stylesheet.css")));
    CallSwitchListItemWidget item;
    item.resize(280, 52);
    item.ensurePolished();
    const QPoint corner(2, 2);
    QCOMPARE(item.grab().toImage().pixelColor(corner), QColor(QStringLiteral("#FFFFFF")));
    item.setSelected(true);
    QVERIFY(item.isSelected());
    QCOMPARE(item.findChild<QFrame *>(QStringLiteral("backgroundFrame"))->property("_selected").toBool(), true);
    QCOMPARE(item.grab().toImage().pixelColor(corner), QColor(QStringLiteral("#E0F2F1")));
    item.setSelected(false);
    QCOMPARE(item.grab().toImage().pixelColor(corner), QColor(QStringLiteral("#FFFFFF")));
}

void TstCallSwitchDialog::oneCallIsNoSwitch()
{
    QSignalSpy count(page->callSwitchDialog(), &CallSwitchDialog::callCountChanged);
    fake::Call *call = startCall(annaJid, false);
    QCOMPARE(page->callSwitchDialog()->callCount(), 1);
    QCOMPARE(count.size(), 1);
    QCOMPARE(page->callSwitchDialog()->activeCall(), wrapperOf(call));
    // A single call needs no choosing.
    QVERIFY(!page->callSwitchDialog()->isVisible());
}

void TstCallSwitchDialog::twoCallsShowTwoRows()
{
    // In the program's look (for the picture; the texts checked below do not depend on it).
    Application::loadFonts();
    qApp->setStyleSheet(Application::loadStyleSheet());
    CallSwitchDialog *dialog = page->callSwitchDialog();
    const talk::Call *first = wrapperOf(startCall(annaJid, false));
    const talk::Call *second = wrapperOf(startCall(strangerJid, true));
    QCOMPARE(dialog->callCount(), 2);
    QCOMPARE(list()->count(), 2);
    QCOMPARE(dialog->listedCalls(), (QList<const talk::Call *> { first, second }));
    QVERIFY(dialog->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(dialog));

    CallSwitchListItemWidget *anna = dialog->itemWidget(first);
    CallSwitchListItemWidget *stranger = dialog->itemWidget(second);
    QVERIFY(anna && stranger);
    QCOMPARE(labelText(anna, "contactLabel"), QStringLiteral("Anna Berg"));
    QCOMPARE(labelText(anna, "numberLabel"), QStringLiteral("+15550100"));
    QCOMPARE(labelText(stranger, "contactLabel"), QStringLiteral("Unknown"));
    QCOMPARE(labelText(stranger, "numberLabel"), QStringLiteral("+15550199"));
    QCOMPARE(labelText(anna, "callDurationLabel"), QStringLiteral("00:00"));
    // The engine gave the focus to the first call; the second waits.
    QCOMPARE(labelText(anna, "callStateLabel"), QStringLiteral("ACTIVE"));
    QCOMPARE(labelText(stranger, "callStateLabel"), QStringLiteral("ON HOLD"));
    QVERIFY(anna->isActive());
    QVERIFY(!stranger->isActive());
    QCOMPARE(dialog->selectedCall(), first);
    QVERIFY(anna->isSelected());
    QVERIFY(!stranger->isSelected());
    saveScreenshot(dialog, QStringLiteral("call-switch"));
}

void TstCallSwitchDialog::engineFocusChangeMovesActiveMark()
{
    CallSwitchDialog *dialog = page->callSwitchDialog();
    fake::Call *engineFirst = startCall(annaJid, false);
    fake::Call *engineSecond = startCall(strangerJid, true);
    const talk::Call *first = wrapperOf(engineFirst);
    const talk::Call *second = wrapperOf(engineSecond);
    QSignalSpy focus(phone.get(), &Phone::focusCallChanged);

    fake::session()->media.changeFocus(engineSecond);
    QCOMPARE(focus.size(), 1);
    QCOMPARE(focus.at(0).at(0).value<const talk::Call *>(), second);
    QCOMPARE(focus.at(0).at(1).value<const talk::Call *>(), first);
    QCOMPARE(phone->currentCall(), second);
    QCOMPARE(dialog->activeCall(), second);
    QCOMPARE(labelText(dialog->itemWidget(first), "callStateLabel"), QStringLiteral("ON HOLD"));
    QCOMPARE(labelText(dialog->itemWidget(second), "callStateLabel"), QStringLiteral("ACTIVE"));
    QCOMPARE(dialog->selectedCall(), second);
    QVERIFY(dialog->itemWidget(second)->isSelected());
    QVERIFY(!dialog->itemWidget(first)->isSelected());

    // No focus at all: nothing is active.
    fake::session()->media.changeFocus(nullptr);
    QCOMPARE(dialog->activeCall(), nullptr);
    QVERIFY(!dialog->itemWidget(first)->isActive());
    QVERIFY(!dialog->itemWidget(second)->isActive());
    QCOMPARE(dialog->selectedCall(), nullptr);
}

void TstCallSwitchDialog::clickingARowSwitchesTheFocusCall()
{
    CallSwitchDialog *dialog = page->callSwitchDialog();
    fake::Call *engineFirst = startCall(annaJid, false);
    fake::Call *engineSecond = startCall(strangerJid, true);
    const talk::Call *first = wrapperOf(engineFirst);
    const talk::Call *second = wrapperOf(engineSecond);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(phone->currentCall(), first);

    QSignalSpy focus(phone.get(), &Phone::focusCallChanged);
    clickRow(second);
    QCOMPARE(focus.size(), 1);
    QCOMPARE(phone->currentCall(), second);
    QCOMPARE(dialog->activeCall(), second);
    QCOMPARE(labelText(dialog->itemWidget(second), "callStateLabel"), QStringLiteral("ACTIVE"));
    QCOMPARE(labelText(dialog->itemWidget(first), "callStateLabel"), QStringLiteral("ON HOLD"));
    QVERIFY(dialog->itemWidget(second)->isSelected());
    QVERIFY(!dialog->itemWidget(first)->isSelected());
    // The dial pad follows: its state line and hang-up button are the chosen call's now.
    QCOMPARE(page->shownCall(), second);
    QVERIFY(!page->offersCall());

    // Clicking the active call again switches nothing.
    clickRow(second);
    QCOMPARE(focus.size(), 1);

    // The hang-up now ends the chosen call, not the first one.
    fake::clearCalls();
    phone->hangup();
    QVERIFY(fake::hasCall("Hangup " + std::to_string(engineSecond->id)));
    QVERIFY(!fake::hasCall("Hangup " + std::to_string(engineFirst->id)));
}

void TstCallSwitchDialog::hungUpCallLeavesTheList()
{
    CallSwitchDialog *dialog = page->callSwitchDialog();
    fake::Call *engineFirst = startCall(annaJid, false);
    fake::Call *engineSecond = startCall(strangerJid, true);
    const talk::Call *first = wrapperOf(engineFirst);
    QVERIFY(dialog->isVisible());
    QSignalSpy count(dialog, &CallSwitchDialog::callCountChanged);

    engineSecond->SignalHangup(engineSecond, vesk::HANGUP_SUCCESS);
    fake::session()->media.destroyCall(engineSecond);
    QCOMPARE(dialog->callCount(), 1);
    QCOMPARE(list()->count(), 1);
    QCOMPARE(dialog->listedCalls(), QList<const talk::Call *> { first });
    QCOMPARE(count.size(), 1);
    QCOMPARE(count.at(0).at(0).toInt(), 1);
    QVERIFY(dialog->itemWidget(first));
    // One call left: nothing to switch between.
    QVERIFY(!dialog->isVisible());

    // Hanging up the focus call moves the mark with the engine's focus, then the row goes too.
    fake::session()->media.destroyCall(engineFirst);
    QCOMPARE(dialog->callCount(), 0);
    QCOMPARE(list()->count(), 0);
    QCOMPARE(dialog->activeCall(), nullptr);
}

void TstCallSwitchDialog::dialogOpenedDuringCallsListsThem()
{
    fake::Call *engineFirst = startCall(annaJid, false);
    fake::Call *engineSecond = startCall(strangerJid, true);
    fake::session()->media.changeFocus(engineSecond);

    CallSwitchDialog late;
    late.setContactManager(contacts.get());
    late.setPhone(phone.get());
    QCOMPARE(late.callCount(), 2);
    QCOMPARE(late.activeCall(), wrapperOf(engineSecond));
    QCOMPARE(labelText(late.itemWidget(wrapperOf(engineFirst)), "contactLabel"), QStringLiteral("Anna Berg"));
    QVERIFY(!late.itemWidget(wrapperOf(engineFirst))->isActive());
    QVERIFY(late.itemWidget(wrapperOf(engineSecond))->isActive());

    // It keeps following the engine from there on.
    fake::session()->media.destroyCall(engineFirst);
    QCOMPARE(late.callCount(), 1);
}

void TstCallSwitchDialog::durationFollowsTheCall()
{
    CallSwitchDialog dialog;
    TimedCall call(QStringLiteral("+15550123"));
    call.seconds = 3600 + 2 * 60 + 3;
    QVERIFY(QMetaObject::invokeMethod(&dialog, "addCall", Q_ARG(const talk::Call *, &call)));
    CallSwitchListItemWidget *item = dialog.itemWidget(&call);
    QVERIFY(item);
    QCOMPARE(item->durationText(), QStringLiteral("1:02:03"));
    call.seconds += 1;
    QTRY_COMPARE(item->durationText(), QStringLiteral("1:02:04"));
    QVERIFY(QMetaObject::invokeMethod(&dialog, "removeCall", Q_ARG(const talk::Call *, &call)));
    QCOMPARE(dialog.callCount(), 0);
}

void TstCallSwitchDialog::deletedCallLeavesTheList()
{
    CallSwitchDialog dialog;
    auto call = std::make_unique<TimedCall>(QStringLiteral("+15550123"));
    QVERIFY(QMetaObject::invokeMethod(&dialog, "addCall", Q_ARG(const talk::Call *, call.get())));
    QCOMPARE(dialog.callCount(), 1);
    QSignalSpy count(&dialog, &CallSwitchDialog::callCountChanged);
    // Gone without the engine saying so: the row must not outlive it.
    call.reset();
    QCOMPARE(dialog.callCount(), 0);
    QCOMPARE(count.size(), 1);
}

QTEST_MAIN(TstCallSwitchDialog)
#include "tst_callswitchdialog.moc"
