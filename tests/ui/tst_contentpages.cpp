#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QStackedWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <functional>
#include <memory>

#include "application.h"
#include "contactmanager.h"
#include "contactscreenstesting.h"
#include "fakeengine.h"
#include "history/callhistory.h"
#include "history/history.h"
#include "objfactory.h"
#include "phone/phone.h"
#include "prefixprovider.h"
#include "screenshots.h"
#include "rest/restmanager.h"
#include "settings/settings.h"
#include "talk/vesktalk.h"
#include "ui/addeditcontactdialog.h"
#include "ui/addeditgroupdialog.h"
#include "ui/callhistorypage.h"
#include "ui/contactlistpage.h"
#include "ui/contactscreens.h"
#include "ui/contentwidget.h"
#include "ui/createaccountdialog.h"
#include "ui/dialpadpage.h"
#include "ui/mainwindow.h"
#include "ui/menubutton.h"
#include "ui/numberedit.h"
#include "ui/phonenumberwidget.h"
#include "ui/pinselectpage.h"

using namespace contactscreenstesting;

namespace {

// Runs `handle` on every modal widget that comes up while this object lives (offscreen nobody else
// would close them); `handle` is expected to close it.
class ModalHandler : public QObject
{
public:
    explicit ModalHandler(std::function<void(QWidget *)> handle) : handle(std::move(handle))
    {
        connect(&timer, &QTimer::timeout, this, [this]() {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible() && modal != busy) {
                busy = modal;
                ++seen;
                this->handle(modal);
                busy = nullptr;
            }
        });
        timer.start(20);
    }

    int seen = 0;

private:
    std::function<void(QWidget *)> handle;
    QPointer<QWidget> busy;
    QTimer timer;
};

} // namespace

// The pages of the main window's content, signed in through the window against the web-service
// emulator and the stand-in talk engine: the address book, calls from the pages and their hot keys,
// the call history, the PIN choice and the new-account form.
class TstContentPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void newAccountOpensTheForm();
    void signInThroughTheWindow();
    void contactListShowsTheBook();
    void addContactActionReachesTheService();
    void deleteAsksInTheWindow();
    void createGroupActionReachesTheService();
    void placeCallKeyCallsTheSelectedContact();
    void historyFiltersAndCallsBack();
    void signedInPagesShowTheAccount_data();
    void signedInPagesShowTheAccount();
    void questionPageAnswersInTheWindow();
    void pinChoice_data();
    void pinChoice();

private:
    QAbstractItemView *contactView() const;
    QModelIndex contactRow(const QString &nick) const;
    QString nickOf(const QString &firstName) const;
    // The engine's outgoing call to number is answered, then hung up from the dial pad.
    void answerAndHangUp(const QString &number);
    void activate();

    QTemporaryDir homeDir;
    ServiceBook service;
    ObjFactory *factory = nullptr;
    talk::VeskTalk *talkConnection = nullptr;
    Phone *phone = nullptr;
    PrefixProvider *prefixes = nullptr;
    MainWindow *window = nullptr;
    ContentWidget *content = nullptr;
    QString addedNick;
};

static const QString firstPin = QStringLiteral("52871934-01");
static const QString secondPin = QStringLiteral("61123090-02");
static const QString adaNumber = QStringLiteral("+442079460000");

void TstContentPages::initTestCase()
{
    // A fresh data folder each run: the history must hold only this run's calls.
    qputenv("HOME", QFile::encodeName(homeDir.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(homeDir.filePath(QStringLiteral("share"))));
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<const talk::Call *>();
    QVERIFY2(service.start(), qPrintable(service.emu.errorString()));
    QVERIFY(service.emu.patchAccount(
        QStringLiteral("demo"), QJsonObject { { "phones", QJsonArray { firstPin, secondPin } } }));

    factory = new ObjFactory;
    factory->settings()->setShowWelcome(false);
    talkConnection = new talk::VeskTalk(QStringLiteral(FAKE_ENGINE_LIBRARY));
    QVERIFY(talkConnection->hasEngine());
    talkConnection->setConnectivityCheck([] { return true; });
    fake::session()->autoAnswerLogin = true;
    phone = new Phone;
    phone->setRestManager(factory->restManager());
    phone->setTalk(talkConnection);
    phone->setContactManager(factory->contactManager());
    phone->setSettings(factory->settings());
    phone->setHistory(factory->history());
    connect(phone, &Phone::usernameChanged, factory->restManager(), &RestManager::onUsernameChanged);
    connect(phone, &Phone::passwordChanged, factory->restManager(), &RestManager::onPasswordChanged);

    // The program's look, as the application object sets it up.
    Application::loadFonts();
    qApp->setStyleSheet(Application::loadStyleSheet());
    prefixes = new PrefixProvider;
    window = new MainWindow;
    window->setSettings(factory->settings());
    window->setPhone(phone);
    window->setHomeUrls(factory->homeUrls());
    window->setRestManager(factory->restManager());
    window->setContactManager(factory->contactManager());
    window->setHistory(factory->history());
    window->setPrefixProvider(prefixes);
    window->showLogIn();
    content = window->contentWidget();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TstContentPages::cleanupTestCase()
{
    if (phone && phone->isLoggedIn())
        window->doLogOut();
    delete window;
    delete phone;
    delete talkConnection;
    delete prefixes;
    delete factory;
}

void TstContentPages::activate()
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QAbstractItemView *TstContentPages::contactView() const
{
    return content->contactScreens()->listPage()->currentView();
}

QModelIndex TstContentPages::contactRow(const QString &nick) const
{
    QAbstractItemView *view = contactView();
    if (auto *tree = qobject_cast<QTreeView *>(view))
        tree->expandAll();
    QAbstractItemModel *model = view->model();
    ContactListPage *page = content->contactScreens()->listPage();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex top = model->index(row, 0);
        if (page->contactNickAt(top) == nick)
            return top;
        for (int child = 0; child < model->rowCount(top); ++child) {
            const QModelIndex index = model->index(child, 0, top);
            if (page->contactNickAt(index) == nick)
                return index;
        }
    }
    return QModelIndex();
}

QString TstContentPages::nickOf(const QString &firstName) const
{
    for (const Contact *c : factory->contactManager()->allContacts()) {
        if (c->firstName() == firstName)
            return c->nick();
    }
    return QString();
}

void TstContentPages::answerAndHangUp(const QString &number)
{
    fake::MediaEngine &media = fake::session()->media;
    QTRY_VERIFY_WITH_TIMEOUT(!media.liveCalls.empty(), waitMs);
    fake::Call *call = media.liveCalls.back();
    QVERIFY(QString::fromStdString(call->remoteJid).startsWith(number + QLatin1Char('@')));
    call->SignalReceivedAccept(call);
    call->SignalInProgress(call);
    QTRY_COMPARE(content->dialPad()->stateText(), QStringLiteral("00:00:01"));
    content->dialPad()->hangup();
    QVERIFY(fake::hasCall("Hangup " + std::to_string(call->id)));
    call->SignalHangup(call, vesk::HANGUP_REASON(0));
    media.destroyCall(call);
    QTRY_VERIFY(content->dialPad()->offersCall());
}

void TstContentPages::newAccountOpensTheForm()
{
    QCOMPARE(content->currentView(), ContentWidget::LoginView);
    saveScreenshot(window, QStringLiteral("page-login"));
    QString title;
    ModalHandler handler([&title](QWidget *modal) {
        title = modal->windowTitle();
        // Refused while empty: the form stays open and names every field.
        modal->findChild<QPushButton *>(QStringLiteral("createButton"))->click();
        saveScreenshot(modal, QStringLiteral("create-account"));
        if (modal->isVisible())
            modal->close();
    });
    content->findChild<QPushButton *>(QStringLiteral("newAccountMenuButton"))->click();
    QCOMPARE(handler.seen, 1);
    QCOMPARE(title, QStringLiteral("Create Account"));
    QCOMPARE(content->currentView(), ContentWidget::LoginView);
}

void TstContentPages::signInThroughTheWindow()
{
    content->findChild<QComboBox *>(QStringLiteral("loginCombo"))->setEditText(QStringLiteral("demo"));
    content->findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->setText(QStringLiteral("demo"));
    content->findChild<QPushButton *>(QStringLiteral("loginButton"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(content->currentView(), ContentWidget::DialPadView, waitMs);
    QVERIFY(window->isLoggedIn());
    // The credit first: calls need it.
    QTRY_COMPARE_WITH_TIMEOUT(
        content->pinText(), QStringLiteral("PIN: 52871934 - \u20ac12.50"), waitMs);
    QTRY_COMPARE_WITH_TIMEOUT(factory->contactManager()->contactCount(), 2, waitMs);
    QCOMPARE(content->pinSelectPage()->pins(), QStringList({ firstPin, secondPin }));
}

void TstContentPages::contactListShowsTheBook()
{
    auto *menuButton = content->findChild<MenuButton *>(QStringLiteral("contactListMenuButton"));
    QTest::mouseClick(menuButton, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(content->currentView(), ContentWidget::ContactListView);
    QCOMPARE(content->page(ContentWidget::ContactListView), content->contactScreens()->listPage());
    QVERIFY(content->contactScreens()->listPage()->isVisible());
    for (const QString &name : { QStringLiteral("Ada"), QStringLiteral("René") }) {
        const QModelIndex row = contactRow(nickOf(name));
        QVERIFY2(row.isValid(), qPrintable(name));
        QVERIFY(row.data().toString().startsWith(name));
    }

    // The groups key switches between the tree of groups and the flat list, like the tool bar button.
    auto *groupsButton = content->findChild<MenuButton *>(QStringLiteral("groupsTopMenuButton"));
    ContactListPage *page = content->contactScreens()->listPage();
    QVERIFY(page->showGroups());
    QVERIFY(groupsButton->isSelected());
    saveScreenshot(window, QStringLiteral("contactlist"));
    activate();
    QTest::keyClick(contactView(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(!page->showGroups());
    QVERIFY(!groupsButton->isSelected());
    QVERIFY(contactRow(nickOf(QStringLiteral("Ada"))).isValid());
    QTest::mouseClick(groupsButton, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(page->showGroups());
    QVERIFY(groupsButton->isSelected());
}

void TstContentPages::addContactActionReachesTheService()
{
    QStringList groups;
    ModalHandler handler([&groups](QWidget *modal) {
        auto *dialog = qobject_cast<AddEditContactDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("groupCombo"));
        for (int i = 0; i < combo->count(); ++i)
            groups << combo->itemText(i);
        dialog->findChild<QLineEdit *>(QStringLiteral("firstNameLineEdit"))->setText(QStringLiteral("Grace"));
        dialog->findChild<QLineEdit *>(QStringLiteral("lastNameLineEdit"))->setText(QStringLiteral("Hopper"));
        dialog->phoneRow(0)->setText(QStringLiteral("+1-202-5550100"));
        emit dialog->phoneRow(0)->addClicked();
        dialog->phoneRow(1)->setText(QStringLiteral("+442079460123"));
        dialog->findChild<QPushButton *>(QStringLiteral("addGroupButton"))->click();
        dialog->findChild<QLineEdit *>(QStringLiteral("groupLineEdit"))->setText(QStringLiteral("Navy"));
        saveScreenshot(dialog, QStringLiteral("add-contact"));
        dialog->findChild<QPushButton *>(QStringLiteral("addSaveContactButton"))->click();
        // Refused input would keep it open: close it so that the check below fails.
        if (dialog->isVisible())
            dialog->reject();
    });
    window->findChild<QAction *>(QStringLiteral("actionAdd_Contact"))->trigger();
    QCOMPARE(handler.seen, 1);
    QCOMPARE(groups, QStringList({ "Family", "Friends", "Work" }));
    addedNick = nickOf(QStringLiteral("Grace"));
    QVERIFY(!addedNick.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(addedNick).groupName() == QLatin1String("Navy"), waitMs);
    QCOMPARE(service.fetchContact(addedNick).phoneNumbers(), QStringList({ "12025550100", "442079460123" }));
    QVERIFY(service.fetchGroupNames().contains(QStringLiteral("Navy")));
    // The list follows the book.
    QVERIFY(contactRow(addedNick).isValid());
}

void TstContentPages::deleteAsksInTheWindow()
{
    QVERIFY(!addedNick.isEmpty());
    content->showView(ContentWidget::ContactListView, false);
    const QModelIndex row = contactRow(addedNick);
    QVERIFY(row.isValid());
    QAbstractItemView *view = contactView();
    QMenu *menu = content->contactScreens()->listPage()->showContextMenu(view, view->visualRect(row).center());
    QVERIFY(menu);
    QAction *remove = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == QLatin1String("Delete"))
            remove = action;
    }
    QVERIFY(remove);
    menu->hide();

    QString question;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [this, &question]() {
        if (content->currentView() != ContentWidget::QueryUserView)
            return;
        question = content->findChild<QLabel *>(QStringLiteral("queryUserQuestionLabel"))->text();
        content->findChild<QPushButton *>(QStringLiteral("queryUserOkButton"))->click();
    });
    answer.start(20);
    remove->trigger();
    answer.stop();
    QCOMPARE(question, QStringLiteral("Do you want to delete this contact?"));
    QCOMPARE(content->currentView(), ContentWidget::ContactListView);
    QVERIFY(!factory->contactManager()->contactPresent(addedNick));
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(addedNick).nick().isEmpty(), waitMs);
    QVERIFY(!contactRow(addedNick).isValid());
}

void TstContentPages::createGroupActionReachesTheService()
{
    ModalHandler handler([](QWidget *modal) {
        auto *dialog = qobject_cast<AddEditGroupDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("groupNameLineEdit"))->setText(QStringLiteral("Choir"));
        saveScreenshot(dialog, QStringLiteral("add-group"));
        dialog->findChild<QPushButton *>(QStringLiteral("saveCreateGroupButton"))->click();
        if (dialog->isVisible())
            dialog->close();
    });
    window->findChild<QAction *>(QStringLiteral("actionCreate_Group"))->trigger();
    QCOMPARE(handler.seen, 1);
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchGroupNames().contains(QStringLiteral("Choir")), waitMs);
    QTRY_VERIFY(factory->contactManager()->groupPresent(QStringLiteral("Choir")));
}

void TstContentPages::placeCallKeyCallsTheSelectedContact()
{
    content->showView(ContentWidget::ContactListView, false);
    const QModelIndex ada = contactRow(nickOf(QStringLiteral("Ada")));
    QVERIFY(ada.isValid());
    contactView()->setCurrentIndex(ada);
    activate();
    const int before = fake::countCalls("PlaceCall " + adaNumber.toStdString() + "@");
    QTest::keyClick(contactView(), Qt::Key_Return);
    QCOMPARE(content->currentView(), ContentWidget::DialPadView);
    QCOMPARE(Phone::normalizeNumber(content->dialPad()->numberEdit()->text()), adaNumber);
    QCOMPARE(fake::countCalls("PlaceCall " + adaNumber.toStdString() + "@"), before + 1);
    answerAndHangUp(adaNumber);
}

void TstContentPages::historyFiltersAndCallsBack()
{
    // Two older calls, written as the store writes every call: stamped with its clock.
    CallHistory *calls = factory->history()->callHistory();
    const QDateTime now = QDateTime::currentDateTime();
    auto addOlder = [calls, &now](const QString &number, int daysAgo) {
        calls->setClock([stamp = now.addDays(-daysAgo)] { return stamp; });
        calls->addEvent(number, QTime(0, 0, 30), CallHistoryEvent::OutgoingCall);
    };
    addOlder(QStringLiteral("+15550103"), 3);
    addOlder(QStringLiteral("+15550104"), 10);
    calls->setClock(systemClock());

    window->findChild<QAction *>(QStringLiteral("actionCall_History"))->trigger();
    QCOMPARE(content->currentView(), ContentWidget::CallHistoryView);
    CallHistoryPage *page = content->callHistoryPage();
    QCOMPARE(content->page(ContentWidget::CallHistoryView), page);
    auto *list = page->findChild<QListView *>(QStringLiteral("historyListView"));
    auto shown = [list]() {
        QStringList numbers;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            numbers << list->model()->index(row, 0).data(33).toString();
        return numbers;
    };
    // Newest first: the call just made, then the older ones.
    QCOMPARE(shown(), QStringList({ adaNumber, "+15550103", "+15550104" }));
    saveScreenshot(window, QStringLiteral("callhistory"));
    page->findChild<QPushButton *>(QStringLiteral("dayFilterButton"))->click();
    QCOMPARE(shown(), QStringList({ adaNumber }));
    page->findChild<QPushButton *>(QStringLiteral("weekFilterButton"))->click();
    QCOMPARE(shown(), QStringList({ adaNumber, "+15550103" }));
    page->findChild<QPushButton *>(QStringLiteral("allFilterButton"))->click();
    QCOMPARE(shown().size(), 3);

    // A double click calls the row back through the dial pad.
    const QRect second = list->visualRect(list->model()->index(1, 0));
    const int before = fake::countCalls("PlaceCall +15550103@");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(content->currentView(), ContentWidget::DialPadView);
    QCOMPARE(fake::countCalls("PlaceCall +15550103@"), before + 1);
    answerAndHangUp(QStringLiteral("+15550103"));

    // The place-call key on the history page calls the selected row.
    content->showView(ContentWidget::CallHistoryView, false);
    QCOMPARE(shown().first(), QStringLiteral("+15550103"));
    list->setCurrentIndex(list->model()->index(shown().indexOf(adaNumber), 0));
    activate();
    const int adaCalls = fake::countCalls("PlaceCall " + adaNumber.toStdString() + "@");
    QTest::keyClick(window, Qt::Key_Enter);
    QCOMPARE(content->currentView(), ContentWidget::DialPadView);
    QCOMPARE(fake::countCalls("PlaceCall " + adaNumber.toStdString() + "@"), adaCalls + 1);
    answerAndHangUp(adaNumber);
}

void TstContentPages::signedInPagesShowTheAccount_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("shot");
    QTest::newRow("dial pad") << int(ContentWidget::DialPadView) << "page-dialpad";
    QTest::newRow("sms") << int(ContentWidget::SmsView) << "page-sms";
    QTest::newRow("contact list") << int(ContentWidget::ContactListView) << "page-contactlist";
    QTest::newRow("contact details") << int(ContentWidget::ContactDetailsView) << "page-contactdetails";
    QTest::newRow("virtual numbers") << int(ContentWidget::VirtualNumbersView) << "page-virtualnumbers";
    QTest::newRow("call forwarding") << int(ContentWidget::CallForwardView) << "page-callforward";
    QTest::newRow("call history") << int(ContentWidget::CallHistoryView) << "page-callhistory";
    QTest::newRow("voicemail") << int(ContentWidget::VoicemailView) << "page-voicemail";
}

// Each signed-in page is reachable in the window and shows this account's data where it has any.
void TstContentPages::signedInPagesShowTheAccount()
{
    QFETCH(int, view);
    QFETCH(QString, shot);
    const auto shown = ContentWidget::View(view);
    if (shown == ContentWidget::ContactDetailsView)
        content->contactScreens()->showContactDetails(nickOf(QStringLiteral("René")));
    else
        content->showView(shown, false);
    QCOMPARE(content->currentView(), shown);
    auto *stack = content->findChild<QStackedWidget *>(QStringLiteral("mainStackedWidget"));
    QCOMPARE(stack->currentWidget(), content->page(shown));
    QVERIFY(content->page(shown)->isVisible());

    switch (shown) {
    case ContentWidget::ContactDetailsView:
        QVERIFY(content->page(shown)->findChild<QLabel *>(QStringLiteral("nameLabel"))->text().contains(
            QStringLiteral("René")));
        break;
    case ContentWidget::VirtualNumbersView: {
        auto *numbers = content->page(shown)->findChild<QListWidget *>(QStringLiteral("numbersListWidget"));
        QTRY_VERIFY_WITH_TIMEOUT(numbers->count() > 0, waitMs);
        break;
    }
    case ContentWidget::CallHistoryView: {
        auto *history = content->page(shown)->findChild<QListView *>(QStringLiteral("historyListView"));
        QVERIFY(history->model()->rowCount() > 0);
        break;
    }
    default:
        break;
    }
    saveScreenshot(window, shot);
}

void TstContentPages::questionPageAnswersInTheWindow()
{
    content->showView(ContentWidget::ContactListView, false);
    QTimer cancel;
    bool asked = false;
    connect(&cancel, &QTimer::timeout, this, [&]() {
        if (asked || content->currentView() != ContentWidget::QueryUserView)
            return;
        asked = true;
        saveScreenshot(window, QStringLiteral("page-question"));
        content->findChild<QPushButton *>(QStringLiteral("queryUserCancelButton"))->click();
    });
    cancel.start(20);
    const bool answer
        = content->askQuestion(QStringLiteral("Delete group and contacts?"), QStringLiteral("Family"));
    cancel.stop();
    QVERIFY(asked);
    QVERIFY(!answer);
    // Back where the question was asked.
    QCOMPARE(content->currentView(), ContentWidget::ContactListView);
}

void TstContentPages::pinChoice_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("startView");
    QTest::addColumn<int>("endView");
    QTest::addColumn<QString>("pin");
    QTest::newRow("confirmed: back to the page before")
        << true << int(ContentWidget::ContactListView) << int(ContentWidget::ContactListView) << secondPin;
    QTest::newRow("switched away: the PIN stays")
        << false << int(ContentWidget::DialPadView) << int(ContentWidget::SmsView) << secondPin;
    QTest::newRow("confirmed again: the first PIN")
        << true << int(ContentWidget::DialPadView) << int(ContentWidget::DialPadView) << firstPin;
}

void TstContentPages::pinChoice()
{
    QFETCH(bool, confirm);
    QFETCH(int, startView);
    QFETCH(int, endView);
    QFETCH(QString, pin);
    content->showView(ContentWidget::View(startView), false);
    const QString before = content->currentPin();
    PINSelectPage *page = content->pinSelectPage();
    int shownOnPinPage = 0;
    QString offered;
    QTimer choose;
    connect(&choose, &QTimer::timeout, this, [&]() {
        if (content->currentView() != ContentWidget::PinView || shownOnPinPage)
            return;
        ++shownOnPinPage;
        offered = page->selectedPINText();
        saveScreenshot(window, QStringLiteral("pinselect"));
        if (confirm) {
            page->findChild<QComboBox *>(QStringLiteral("pinComobBox"))->setCurrentText(pin);
            page->findChild<QPushButton *>(QStringLiteral("confirmButton"))->click();
        } else {
            window->findChild<QAction *>(QStringLiteral("actionSMS"))->trigger();
        }
    });
    choose.start(20);
    content->findChild<QPushButton *>(QStringLiteral("pinSelectButton"))->click();
    choose.stop();
    QCOMPARE(shownOnPinPage, 1);
    // The page opens on the PIN in use.
    QCOMPARE(offered, before);
    QVERIFY(!content->isPinSelectionPending());
    QCOMPARE(content->currentView(), ContentWidget::View(endView));
    QCOMPARE(content->currentPin(), confirm ? pin : before);
    QCOMPARE(content->pinText(),
        QStringLiteral("PIN: %1 - \u20ac12.50").arg(content->currentPin().section(QLatin1Char('-'), 0, 0)));
}

QTEST_MAIN(TstContentPages)
#include "tst_contentpages.moc"
