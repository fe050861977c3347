#include "ui/contentwidget.h"
#include "ui_contentwidget.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QMessageBox>
#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QMovie>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QShortcut>
#include <QTemporaryFile>
#include <QTimer>

#include "contactgroup.h"
#include "contactmanager.h"
#include "history/history.h"
#include "history/loginhistory.h"
#include "homeurls.h"
#include "phone/phone.h"
#include "rest/contact.h"
#include "rest/restmanager.h"
#include "settings/settings.h"
#include "talk/call.h"
#include "talk/mediaengine.h"
#include "ui/addeditcontactdialog.h"
#include "ui/addeditgroupdialog.h"
#include "ui/callforwardpage.h"
#include "ui/callhistorypage.h"
#include "ui/contactdetailspage.h"
#include "ui/contactlistpage.h"
#include "ui/contactscreens.h"
#include "ui/createaccountdialog.h"
#include "ui/dialpadpage.h"
#include "ui/hotkeys.h"
#include "ui/incomingcalldialog.h"
#include "ui/internetcheck.h"
#include "ui/menubutton.h"
#include "ui/missedcallsdialog.h"
#include "ui/numberedit.h"
#include "ui/pinselectpage.h"
#include "ui/smspage.h"
#include "ui/virtualnumberspage.h"
#include "ui/voicemailpage.h"
#include "util/log.h"

namespace {

bool isSignedInView(ContentWidget::View view)
{
    return view >= ContentWidget::DialPadView && view <= ContentWidget::VoicemailView;
}

} // namespace

ContentWidget::ContentWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ContentWidget)
    , connectionCheck(new InternetCheck(this))
    , keys(nullptr)
    , spinner(new QMovie(QStringLiteral(":/gfx/login/spinner.gif"), QByteArray(), this))
    , glossTimer(new QTimer(this))
    , glossLabel(nullptr)
{
    ui->setupUi(this);
    keys = new HotKeys(this);
    ui->loginSpinnerLabel->setMovie(spinner);
    // The icon is drawn large; show it at logo size, sharp on high-density screens too.
    const qreal ratio = devicePixelRatioF();
    QPixmap logo = QPixmap(QStringLiteral(":/gfx/app-icon.png"))
                       .scaled(QSize(88, 88) * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    logo.setDevicePixelRatio(ratio);
    ui->logoLabel->setPixmap(logo);
    ui->pendingCallInfoWidget->hide();
    ui->liveConversationPanel->hide();
    ui->backButton->setIcon(QIcon(QStringLiteral(":/gfx/common/back.png")));

    glossLabel = new QLabel(ui->liveConversationPanel);
    glossLabel->setObjectName(QStringLiteral("glossLiveConversationLabel"));
    glossLabel->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    glossLabel->resize(40, 30);
    glossTimer->setInterval(100);
    connect(glossTimer, &QTimer::timeout, this, &ContentWidget::onGlossAnimation);

    ui->liveConversationPanel->installEventFilter(this);
    glossLabel->installEventFilter(this);
    ui->pinLabel->installEventFilter(this);

    connect(ui->loginButton, &QPushButton::clicked, this, &ContentWidget::onLoginButtonClicked);
    connect(ui->passwordLineEdit, &QLineEdit::returnPressed, this,
        &ContentWidget::onLoginOrPasswordEditReturnPressed);
    connect(ui->loginCombo->lineEdit(), &QLineEdit::returnPressed, this,
        &ContentWidget::onLoginOrPasswordEditReturnPressed);
    connect(ui->rememberMeCheckBox, &QCheckBox::toggled, this, &ContentWidget::onRememberMeCheckBoxTogled);
    connect(ui->loginCancelButton, &QPushButton::clicked, this, &ContentWidget::loginCancelled);
    connect(ui->queryUserOkButton, &QPushButton::clicked, this, &ContentWidget::onQueryOkClicked);
    connect(ui->queryUserCancelButton, &QPushButton::clicked, this, &ContentWidget::onQueryCancelClicked);
    connect(ui->pinSelectButton, &QPushButton::clicked, this, &ContentWidget::onPinSelectClicked);
    connect(ui->backButton, &QPushButton::clicked, this, &ContentWidget::onConversationBackClicked);
    connect(ui->newAccountMenuButton, &QPushButton::clicked, this, &ContentWidget::onNewAccountClicked);
    connect(ui->forgotMenuButton, &QPushButton::clicked, this, &ContentWidget::onForgotPasswordClicked);

    connect(ui->dialPadMenuButton, &MenuButton::clicked, this, [this]() { showView(DialPadView, true); });
    connect(
        ui->contactListMenuButton, &MenuButton::clicked, this, [this]() { showView(ContactListView, true); });
    connect(ui->virtualNumberMenuButton, &MenuButton::clicked, this,
        [this]() { showView(VirtualNumbersView, true); });
    connect(
        ui->callForwardMenuButton, &MenuButton::clicked, this, [this]() { showView(CallForwardView, true); });
    connect(ui->newDialPadMenuButton, &QPushButton::clicked, this, [this]() { showView(DialPadView, true); });
    connect(
        ui->newContactListButton, &QPushButton::clicked, this, [this]() { showView(ContactListView, true); });
    connect(ui->volTopMenuButton, &MenuButton::clicked, this, [this]() {
        ui->volTopMenuButton->setSelected(true);
        ui->micTopMenuButton->setSelected(false);
        dialPad()->showSpeakerVolumePanel();
    });
    connect(ui->micTopMenuButton, &MenuButton::clicked, this, [this]() {
        ui->micTopMenuButton->setSelected(true);
        ui->volTopMenuButton->setSelected(false);
        dialPad()->showMicVolumePanel();
    });
    ui->volTopMenuButton->setSelected(true);

    connect(dialPad(), &DialPadPage::callInfoChanged, this, &ContentWidget::setCallInfo);
    connect(dialPad(), &DialPadPage::callProgressChanged, this, &ContentWidget::updateLiveCallPanel);
    connect(dialPad(), &DialPadPage::buyCreditClicked, this, &ContentWidget::onBuyCreditClicked);
    connect(dialPad(), &DialPadPage::smsClicked, this, [this]() { showView(SmsView, true); });

    connect(keys->placeCall, &QShortcut::activated, this, &ContentWidget::onPlaceCallHotKeyActivated);
    connect(keys->placeCallMirror, &QShortcut::activated, this, &ContentWidget::onPlaceCallHotKeyActivated);
    connect(keys->cancelCall, &QShortcut::activated, this, &ContentWidget::onCancelCallHotKeyActivated);
    connect(keys->increaseSpeakerVolume, &QShortcut::activated, this, [this]() {
        emit ui->volTopMenuButton->clicked();
        onIncreaseVolumeHotKeyActivated();
    });
    connect(keys->decreaseSpeakerVolume, &QShortcut::activated, this, [this]() {
        emit ui->volTopMenuButton->clicked();
        onDecreaseVolumeHotKeyActivated();
    });
    connect(keys->increaseMicVolume, &QShortcut::activated, this, [this]() {
        emit ui->micTopMenuButton->clicked();
        onIncreaseVolumeHotKeyActivated();
    });
    connect(keys->decreaseMicVolume, &QShortcut::activated, this, [this]() {
        emit ui->micTopMenuButton->clicked();
        onDecreaseVolumeHotKeyActivated();
    });
    connect(
        keys->showHideGroups, &QShortcut::activated, this, &ContentWidget::onShowHideGroupsHotKeyActivated);

    connect(connectionCheck, &InternetCheck::finished, this, &ContentWidget::onInternetCheckFinished);

    connect(ui->groupsTopMenuButton, &MenuButton::clicked, this, &ContentWidget::onViewGroupsClicked);

    placePages();

    ui->mainStackedWidget->setCurrentWidget(ui->loginPage);
    ui->loginPageStackedWidget->setCurrentWidget(ui->loginFormPage);
    applyViewChrome(LoginView);
    setupHotkeysForView(LoginView);
}

ContentWidget::~ContentWidget()
{
    if (questionLoop)
        questionLoop->exit(QuestionCancelled);
    if (pinLoop)
        pinLoop->exit(0);
    delete ringtoneFile;
    delete ui;
}

// Every page but the login, dial pad and question pages is a class of its own, put in place of its
// placeholder in the form.
void ContentWidget::placePages()
{
    pinPage = new PINSelectPage;
    setPage(PinView, pinPage);
    connect(pinPage, &PINSelectPage::PINSelected, this, &ContentWidget::onPINSelected);

    smsPage = new SMSPage;
    setPage(SmsView, smsPage);

    screens = new ContactScreens(this);
    setPage(ContactListView, screens->listPage());
    setPage(ContactDetailsView, screens->detailsPage());
    connect(screens, &ContactScreens::showViewRequested, this,
        [this](int view) { showView(View(view), true); });
    connect(screens, &ContactScreens::callContact, this, &ContentWidget::onCallContactRequested);
    connect(screens, &ContactScreens::sendSMS, this, &ContentWidget::onSendSMSRequested);
    screens->setQuestionHandler(
        [this](const QString &question, const QString &extra) { return askQuestion(question, extra); });

    virtualNumbersPage = new VirtualNumbersPage;
    setPage(VirtualNumbersView, virtualNumbersPage);

    callForward = new CallForwardPage;
    setPage(CallForwardView, callForward);

    historyPage = new CallHistoryPage;
    setPage(CallHistoryView, historyPage);
    connect(historyPage, &CallHistoryPage::callContact, this, &ContentWidget::onCallContactRequested);
    connect(historyPage, &CallHistoryPage::sendSMS, this, &ContentWidget::onSendSMSRequested);

    voicemail = new VoicemailPage;
    setPage(VoicemailView, voicemail);
}

// --- services ---------------------------------------------------------------------------------

void ContentWidget::setSettings(Settings *store)
{
    settings = store;
    dialPad()->setSettings(store);
    if (pinPage)
        pinPage->setSettings(store);
    if (screens)
        screens->setSettings(store);
    configureHotkeys();
}

void ContentWidget::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    dialPad()->setPhone(controller);
    if (smsPage)
        smsPage->setPhone(controller);
    if (pinPage)
        pinPage->setPhone(controller);
    if (historyPage)
        historyPage->setPhone(controller);
    if (voicemail)
        voicemail->setPhone(controller);
    if (!phone)
        return;
    const auto unique = Qt::UniqueConnection;
    if (virtualNumbersPage) {
        connect(phone, &Phone::onlineNumbersUpdate, virtualNumbersPage.data(),
            &VirtualNumbersPage::setOnlineNumbers, unique);
    }
    connect(phone, &Phone::loginSuccessful, this, &ContentWidget::onLoginSuccessful, unique);
    connect(phone, &Phone::balanceUpdate, this, &ContentWidget::onBalanceUpdate, unique);
    connect(phone, &Phone::incomingCall, this, &ContentWidget::onIncomingCall, unique);
    connect(
        phone, &Phone::incomingCallHangupDecline, this, &ContentWidget::onIncomingCallHangupDecline, unique);
    // Any end of a ringing call closes its dialog (the caller gave up, timed out, failed, ...).
    for (auto signal : { &Phone::callEnded, &Phone::callFailed, &Phone::callHangupIsBusy,
             &Phone::callHungupDecline, &Phone::callHangupNotFound, &Phone::callHangupUnreachable,
             &Phone::callHangupTimeout, &Phone::callInstanceDestroyed })
        connect(phone, signal, this, &ContentWidget::onRingingCallGone, unique);
}

void ContentWidget::setHomeUrls(const HomeUrls *urls)
{
    homeUrls = urls;
    if (virtualNumbersPage)
        virtualNumbersPage->setHomeUrls(urls);
    if (voicemail)
        voicemail->setHomeUrls(urls);
}

void ContentWidget::setRestManager(RestManager *manager)
{
    if (restManager)
        disconnect(restManager, nullptr, this, nullptr);
    restManager = manager;
    if (restManager) {
        connect(restManager, QOverload<const Account &>::of(&RestManager::requestFinished), this,
            &ContentWidget::onAccountReceived, Qt::UniqueConnection);
    }
}

void ContentWidget::setContactManager(ContactManager *manager)
{
    contactManager = manager;
    dialPad()->setContactManager(manager);
    if (smsPage)
        smsPage->setContactManager(manager);
    if (historyPage)
        historyPage->setContactManager(manager);
    if (screens)
        screens->setContactManager(manager);
}

void ContentWidget::setHistory(History *store)
{
    history = store;
    dialPad()->setHistory(store);
    if (smsPage)
        smsPage->setHistory(store);
}

void ContentWidget::setPrefixProvider(const PrefixProvider *provider)
{
    dialPad()->setPrefixProvider(provider);
    if (smsPage)
        smsPage->setPrefixProvider(provider);
    if (virtualNumbersPage)
        virtualNumbersPage->setPrefixProvider(provider);
}

DialPadPage *ContentWidget::dialPad() const
{
    return ui->dialPadPage;
}

void ContentWidget::setPage(View view, QWidget *newPage)
{
    QWidget *old = page(view);
    if (!old || !newPage || old == newPage)
        return;
    const bool shown = ui->mainStackedWidget->currentWidget() == old;
    ui->mainStackedWidget->insertWidget(int(view), newPage);
    ui->mainStackedWidget->removeWidget(old);
    old->deleteLater();
    if (shown)
        ui->mainStackedWidget->setCurrentWidget(newPage);
}

QWidget *ContentWidget::page(View view) const
{
    return ui->mainStackedWidget->widget(int(view));
}

CallHistoryPage *ContentWidget::callHistoryPage() const
{
    return historyPage;
}

PINSelectPage *ContentWidget::pinSelectPage() const
{
    return pinPage;
}

VoicemailPage *ContentWidget::voicemailPage() const
{
    return voicemail;
}

// --- pages ------------------------------------------------------------------------------------

QList<MenuButton *> ContentWidget::menuButtons() const
{
    return { ui->dialPadMenuButton, ui->contactListMenuButton, ui->virtualNumberMenuButton,
        ui->callForwardMenuButton };
}

void ContentWidget::applyViewChrome(View view)
{
    const bool signedIn = isSignedInView(view);
    ui->pinWidget->setVisible(signedIn);
    ui->topToolBarStackedWidget->setVisible(view != LoginView && view != QueryUserView);
    ui->topToolBarStackedWidget->setCurrentIndex(int(view));
}

void ContentWidget::showView(View view, bool animated)
{
    if (viewShown && view == current && ui->mainStackedWidget->currentWidget() == page(view))
        return;
    viewShown = true;
    ui->queryUserOkButton->setDefault(view == QueryUserView);
    if (animationOverlay)
        onAnimationFinished();
    QPixmap snapshot;
    if (animated && isVisible())
        snapshot = ui->mainStackedWidget->grab();
    ui->bottomToolbarStackedWidget->show();

    if (view != QueryUserView && view != PinView) {
        if (questionLoop)
            questionLoop->exit(QuestionSwitchedAway);
        // Leaving the PIN page any other way than by a choice keeps the PIN.
        if (pinLoop)
            pinLoop->exit(0);
    }
    for (MenuButton *button : menuButtons())
        button->setSelected(false);

    switch (view) {
    case LoginView:
        ui->bottomToolbarStackedWidget->setCurrentWidget(ui->loginMenuPage);
        ui->mainStackedWidget->setCurrentWidget(ui->loginPage);
        ui->loginCombo->clear();
        ui->passwordLineEdit->clear();
        if (settings && settings->rememberLogin()) {
            if (history)
                ui->loginCombo->addItems(history->loginHistory()->names());
            ui->loginCombo->setEditText(settings->userName());
            ui->passwordLineEdit->setText(settings->password());
        } else if (settings) {
            settings->removeUserName();
            settings->removePassword();
            if (history)
                history->loginHistory()->clear();
        }
        if (settings) {
            const QSignalBlocker blocker(ui->rememberMeCheckBox);
            ui->rememberMeCheckBox->setChecked(settings->rememberLogin());
            ui->signInAutoCheckBox->setEnabled(settings->rememberLogin());
            ui->signInAutoCheckBox->setChecked(settings->rememberLogin() && settings->autoLogin());
        }
        ui->loginButton->setDefault(true);
        break;
    case PinView:
        ui->bottomToolbarStackedWidget->setCurrentWidget(ui->emptyMenuPage);
        ui->mainStackedWidget->setCurrentWidget(page(PinView));
        break;
    case QueryUserView:
        ui->bottomToolbarStackedWidget->hide();
        ui->mainStackedWidget->setCurrentWidget(ui->queryUserPage);
        break;
    default: {
        ui->bottomToolbarStackedWidget->setCurrentWidget(ui->mainMenuPage);
        ui->newContactListButton->setChecked(view == ContactListView || view == ContactDetailsView);
        ui->newDialPadMenuButton->setChecked(
            view != ContactListView && view != ContactDetailsView && view != VoicemailView);
        MenuButton *highlighted = nullptr;
        switch (view) {
        case DialPadView:
        case SmsView:
            highlighted = ui->dialPadMenuButton;
            break;
        case ContactListView:
        case ContactDetailsView:
        case CallHistoryView:
            highlighted = ui->contactListMenuButton;
            break;
        case VirtualNumbersView:
            highlighted = ui->virtualNumberMenuButton;
            break;
        case CallForwardView:
            highlighted = ui->callForwardMenuButton;
            break;
        default:
            break;
        }
        if (highlighted)
            highlighted->setSelected(true);
        if (view == CallHistoryView && historyPage)
            historyPage->refresh();
        if (view == ContactListView)
            updateGroupsButton();
        ui->mainStackedWidget->setCurrentWidget(page(view));
        break;
    }
    }

    current = view;
    applyViewChrome(view);
    setupHotkeysForView(view);
    updateLiveCallPanel();
    if (view == DialPadView)
        dialPad()->numberEdit()->setFocus();
    emit currentViewChanged(int(view));
    if (!snapshot.isNull())
        startPageAnimation(snapshot);
}

void ContentWidget::startPageAnimation(const QPixmap &snapshot)
{
    QStackedWidget *stack = ui->mainStackedWidget;
    animationOverlay = new QLabel(this);
    animationOverlay->setObjectName(QStringLiteral("pageAnimationOverlay"));
    animationOverlay->setPixmap(snapshot);
    animationOverlay->setGeometry(
        QRect(stack->mapTo(this, QPoint(0, 0)), snapshot.size() / snapshot.devicePixelRatio()));
    animationOverlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    animationOverlay->show();
    animationOverlay->raise();

    auto *fade = new QGraphicsOpacityEffect(stack->currentWidget());
    stack->currentWidget()->setGraphicsEffect(fade);

    auto *group = new QParallelAnimationGroup(animationOverlay);
    auto *slide = new QPropertyAnimation(animationOverlay, "pos", group);
    slide->setDuration(animationDuration);
    slide->setStartValue(animationOverlay->pos());
    slide->setEndValue(animationOverlay->pos() - QPoint(animationOverlay->width(), 0));
    slide->setEasingCurve(QEasingCurve::OutCubic);
    auto *opacity = new QPropertyAnimation(fade, "opacity", group);
    opacity->setDuration(animationDuration);
    opacity->setStartValue(0.0);
    opacity->setEndValue(1.0);
    group->addAnimation(slide);
    group->addAnimation(opacity);
    connect(group, &QParallelAnimationGroup::finished, this, &ContentWidget::onAnimationFinished);
    group->start();
}

void ContentWidget::onAnimationFinished()
{
    if (!animationOverlay)
        return;
    QLabel *overlay = animationOverlay;
    animationOverlay = nullptr;
    overlay->hide();
    overlay->deleteLater();
    for (int i = 0; i < ui->mainStackedWidget->count(); ++i)
        ui->mainStackedWidget->widget(i)->setGraphicsEffect(nullptr);
}

void ContentWidget::resetViews()
{
    showView(LoginView, false);
}

void ContentWidget::showCallHistory()
{
    showView(CallHistoryView, true);
}

void ContentWidget::showVoicemail()
{
    showView(VoicemailView, true);
}

void ContentWidget::onCallContactRequested(QString name, QString number)
{
    LOG_TRACE << "Calling" << name << "at" << number;
    showView(DialPadView, true);
    dialPad()->numberEdit()->setText(number);
    dialPad()->doCall();
}

void ContentWidget::onSendSMSRequested(QString name, QString number)
{
    LOG_TRACE << "SMS to" << name << "at" << number;
    if (smsPage)
        smsPage->setNumber(number);
    showView(SmsView, true);
}

// --- contacts and groups ----------------------------------------------------------------------

void ContentWidget::contactListRefresh()
{
    if (screens)
        screens->contactListRefresh();
}

void ContentWidget::onAddContactClicked()
{
    showAddEditContact();
}

void ContentWidget::onAddGroupClicked()
{
    showAddEditGroup();
}

void ContentWidget::showAddEditContact()
{
    if (screens)
        screens->showAddContact();
}

void ContentWidget::showAddEditContact(const QString &nick)
{
    if (screens)
        screens->editContact(nick);
}

void ContentWidget::showAddEditGroup()
{
    if (screens)
        screens->showAddGroup();
}

void ContentWidget::showAddEditGroup(ContactGroup *group)
{
    if (screens && group)
        screens->editGroup(group->name());
}

void ContentWidget::onViewGroupsClicked()
{
    if (!screens)
        return;
    screens->toggleShowGroups();
    updateGroupsButton();
}

void ContentWidget::updateGroupsButton()
{
    if (screens)
        ui->groupsTopMenuButton->setSelected(screens->listPage()->showGroups());
}

// --- questions --------------------------------------------------------------------------------

bool ContentWidget::isQuestionPending() const
{
    return questionLoop != nullptr;
}

bool ContentWidget::askQuestion(const QString &question, const QString &extra)
{
    if (questionLoop)
        cancelQuestion();
    const View remembered = current;
    viewBeforeQuestion = remembered;
    ui->queryUserQuestionLabel->setText(question);
    ui->queryUserExtraLabel->setText(extra);
    ui->queryUserExtraLabel->setVisible(!extra.isEmpty());
    showView(QueryUserView, true);
    QPointer<ContentWidget> alive(this);
    QEventLoop loop;
    questionLoop = &loop;
    const int result = loop.exec();
    // The window may have gone while the question was open.
    if (!alive)
        return false;
    questionLoop = nullptr;
    LOG_TRACE << "Question" << question << "answered with" << result;
    if (result == QuestionOk || result == QuestionCancel)
        showView(remembered, true);
    else if (result == QuestionCancelled)
        current = remembered;
    return result == QuestionOk;
}

void ContentWidget::cancelQuestion()
{
    if (questionLoop)
        questionLoop->exit(QuestionCancelled);
}

void ContentWidget::onQueryOkClicked()
{
    if (questionLoop)
        questionLoop->exit(QuestionOk);
}

void ContentWidget::onQueryCancelClicked()
{
    if (questionLoop)
        questionLoop->exit(QuestionCancel);
}

// --- login ------------------------------------------------------------------------------------

void ContentWidget::onLoginOrPasswordEditReturnPressed()
{
    onLoginButtonClicked();
}

void ContentWidget::onLoginButtonClicked()
{
    const QString user = ui->loginCombo->currentText().trimmed();
    if (user.isEmpty()) {
        QMessageBox::critical(this, tr("Error"), tr("Please provide a user name!"));
        return;
    }
    const QString password = ui->passwordLineEdit->text().trimmed();
    if (password.isEmpty()) {
        QMessageBox::critical(this, tr("Error"), tr("Please provide a valid password!"));
        return;
    }
    autoLoginPending = false;
    if (autoLoginTimer)
        autoLoginTimer->stop();
    if (pinPage)
        pinPage->setName(user.section(QLatin1Char('@'), 0, 0));
    setLoginInProgress(true);
    if (settings) {
        settings->setRememberLogin(ui->rememberMeCheckBox->isChecked());
        settings->setAutoLogin(ui->signInAutoCheckBox->isChecked());
    }
    emit loginClicked(user, password);
}

void ContentWidget::onRememberMeCheckBoxTogled(bool checked)
{
    ui->signInAutoCheckBox->setEnabled(checked);
    if (!checked)
        ui->signInAutoCheckBox->setChecked(false);
}

void ContentWidget::setLoginInProgress(bool on)
{
    loginInProgress = on;
    ui->newAccountMenuButton->setEnabled(!on);
    ui->forgotMenuButton->setEnabled(!on);
    if (on) {
        spinner->start();
        ui->loginUserLabel->setText(ui->loginCombo->currentText().trimmed());
        ui->loginPageStackedWidget->setCurrentWidget(ui->loginProgressPage);
    } else {
        spinner->stop();
        ui->loginPageStackedWidget->setCurrentWidget(ui->loginFormPage);
    }
}

void ContentWidget::doAutoLogin()
{
    if (!settings || !settings->autoLogin())
        return;
    LOG_TRACE << "Automatic login: waiting for the internet connection";
    autoLoginPending = true;
    if (!autoLoginTimer) {
        autoLoginTimer = new QTimer(this);
        autoLoginTimer->setInterval(autoLoginPollInterval);
        connect(autoLoginTimer, &QTimer::timeout, this,
            &ContentWidget::onAutoLoginInternetConnectionTimerTimedOut);
    }
    connectionCheck->start();
}

bool ContentWidget::isAutoLoginWaiting() const
{
    return autoLoginPending;
}

void ContentWidget::onAutoLoginInternetConnectionTimerTimedOut()
{
    if (autoLoginPending)
        connectionCheck->start();
}

void ContentWidget::onInternetCheckFinished(bool connected)
{
    if (!autoLoginPending)
        return;
    if (!connected) {
        if (autoLoginTimer && !autoLoginTimer->isActive())
            autoLoginTimer->start();
        return;
    }
    autoLoginPending = false;
    if (autoLoginTimer)
        autoLoginTimer->stop();
    if (current == LoginView && !loginInProgress)
        onLoginButtonClicked();
}

void ContentWidget::onLoginSuccessful()
{
    autoLoginPending = false;
    if (autoLoginTimer)
        autoLoginTimer->stop();
}

void ContentWidget::openUrl(const QUrl &url)
{
    if (url.isEmpty()) {
        LOG_WARNING << "No web page configured";
        return;
    }
    QDesktopServices::openUrl(url);
}

void ContentWidget::onForgotPasswordClicked()
{
    openUrl(homeUrls ? homeUrls->forgotPasswordURL : HomeUrls::instance().forgotPasswordURL);
}

void ContentWidget::onNewAccountClicked()
{
    CreateAccountDialog dialog(window());
    const int result = dialog.exec();
    LOG_TRACE << "Create account dialog closed with" << result;
}

void ContentWidget::onCallRatesClicked()
{
    openUrl(homeUrls ? homeUrls->viewRatesURL : HomeUrls::instance().viewRatesURL);
}

void ContentWidget::onSMSRatesClicked()
{
    openUrl(homeUrls ? homeUrls->viewSMSRatesURL : HomeUrls::instance().viewSMSRatesURL);
}

void ContentWidget::onBuyCreditClicked()
{
    openUrl(HomeUrls::instance().buyCreditURL);
}

// --- PIN and balance --------------------------------------------------------------------------

QString ContentWidget::pinLabelText(const QString &pin, const Balance &balance)
{
    const QString shownPin = pin.section(QLatin1Char('-'), 0, 0).toHtmlEscaped();
    QString credit;
    if (balance.credit() > 0)
        credit = balance.currencySymbol().toHtmlEscaped() + QString::asprintf("%.02f", balance.credit());
    else
        credit = QStringLiteral("<font color=red><b>BUY</b></font>");
    return tr("PIN: %1 - %2").arg(shownPin, credit);
}

QString ContentWidget::pinText() const
{
    return ui->pinLabel->text();
}

void ContentWidget::updatePinLabel()
{
    ui->pinLabel->setText(pinLabelText(pin, balance));
    const bool buy = !(balance.credit() > 0);
    ui->pinLabel->setCursor(buy ? Qt::PointingHandCursor : Qt::ArrowCursor);
    ui->pinLabel->setToolTip(buy ? tr("Click to buy credit") : QString());
}

void ContentWidget::setPin(const QString &value)
{
    pin = value;
    updatePinLabel();
}

void ContentWidget::onBalanceUpdate(const Balance &value)
{
    LOG_TRACE << "Updating balance from ContentWidget";
    balance = value;
    updatePinLabel();
}

void ContentWidget::onAccountReceived(const Account &account)
{
    if (!account.errorMessage().isEmpty())
        return;
    const QStringList pins = account.phones();
    if (!pins.isEmpty() && !pins.contains(pin))
        setPin(pins.first());
    if (pinPage) {
        pinPage->setPINs(pins);
        pinPage->setDefaultPIN(pins.indexOf(pin));
    }
}

void ContentWidget::onPinSelectClicked()
{
    if (phone && phone->isInCall()) {
        const auto answer = QMessageBox::question(this, tr("Are you sure?"),
            tr("Changing the PIN will end your current call.\nAre you sure you want to do this?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
        dialPad()->hangup();
    }
    if (!pinPage || pinLoop)
        return;
    const View previous = current;
    pinPage->setDefaultPIN(pinPage->pins().indexOf(pin));
    showView(PinView, true);
    QPointer<ContentWidget> alive(this);
    QEventLoop loop;
    pinLoop = &loop;
    const int result = loop.exec();
    if (!alive)
        return;
    pinLoop = nullptr;
    LOG_TRACE << "PIN selection ended with" << result;
    // After a choice the user goes back; a switch to another page (a sign-out, say) stands.
    if (result == 1)
        showView(previous, true);
}

void ContentWidget::onPINSelected(QString value)
{
    setPin(value);
    if (pinLoop)
        pinLoop->exit(1);
}

// --- hot keys ---------------------------------------------------------------------------------

void ContentWidget::configureHotkeys()
{
    keys->configure(settings);
    setupHotkeysForView(current);
}

void ContentWidget::setupHotkeysForView(View view)
{
    const bool callKeys = view == DialPadView || view == ContactListView || view == CallHistoryView;
    keys->activate(callKeys, isSignedInView(view), view == ContactListView);
}

void ContentWidget::onPlaceCallHotKeyActivated()
{
    switch (current) {
    case DialPadView:
        dialPad()->doCall();
        break;
    case ContactListView:
        if (screens)
            screens->listPage()->callSelected();
        break;
    case CallHistoryView:
        if (historyPage)
            historyPage->callSelected();
        break;
    default:
        break;
    }
}

void ContentWidget::onCancelCallHotKeyActivated()
{
    dialPad()->hangup();
}

void ContentWidget::onIncreaseVolumeHotKeyActivated()
{
    dialPad()->stepVolume(1);
}

void ContentWidget::onDecreaseVolumeHotKeyActivated()
{
    dialPad()->stepVolume(-1);
}

void ContentWidget::onShowHideGroupsHotKeyActivated()
{
    onViewGroupsClicked();
}

// --- live call strip --------------------------------------------------------------------------

void ContentWidget::updateLiveCallPanel()
{
    const talk::Call *call = dialPad()->shownCall();
    const bool show = call && current != LoginView && current != PinView && current != DialPadView
        && current != QueryUserView;
    if (call)
        ui->numberLabel->setText(Phone::remoteNumber(call));
    ui->liveConversationPanel->setVisible(show);
    if (show) {
        glossLabel->resize(40, ui->liveConversationPanel->height());
        glossLabel->raise();
        glossTimer->start();
    } else {
        glossTimer->stop();
    }
}

void ContentWidget::setCallInfo(QString info)
{
    ui->timeLabel->setText(info);
}

void ContentWidget::onGlossAnimation()
{
    const int width = ui->liveConversationPanel->width();
    int x = glossLabel->x() + 10;
    if (x + 40 > width)
        x = 40 - width;
    glossLabel->move(x, 0);
}

void ContentWidget::onConversationBackClicked()
{
    showView(DialPadView, true);
}

bool ContentWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == ui->liveConversationPanel || watched == glossLabel) {
            onConversationBackClicked();
            return true;
        }
        if (watched == ui->pinLabel && balance.credit() == 0.0) {
            onBuyCreditClicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- incoming and missed calls ----------------------------------------------------------------

void ContentWidget::onIncomingCall(const talk::Call *call)
{
    LOG_TRACE << "INCOMING CALL";
    if (!call)
        return;
    const QString number = Phone::remoteNumber(call);
    const Contact *contact = contactManager ? contactManager->findContactByNumber(number) : nullptr;
    dialPad()->setCallHistoryEventType(CallHistoryEvent::IncomingCall);
    if (!incomingDialog) {
        incomingDialog = new IncomingCallDialog(this);
        connect(
            incomingDialog, &IncomingCallDialog::acceptCall, this, &ContentWidget::onIncomingCallAccepted);
        connect(
            incomingDialog, &IncomingCallDialog::rejectCall, this, &ContentWidget::onIncomingCallRejected);
        // Closing the dialog silences it; the call rings on until answered elsewhere or given up.
        connect(incomingDialog, &QDialog::rejected, this, &ContentWidget::stopRinging);
    }
    ringingCall = call;
    ringingGuard = call;
    ringingNumber = number;
    incomingDialog->setCaller(number, contact ? contact->displayName() : QString());

    talk::MediaEngine *engine = phone ? phone->mediaEngine() : nullptr;
    if (engine && !(settings && settings->muteAllSounds())) {
        if (!ringtoneFile)
            ringtoneFile = QTemporaryFile::createNativeFile(QStringLiteral(":/sounds/ringtone"));
        if (ringtoneFile) {
            const bool playing = engine->playFile(ringtoneFile->fileName(), true);
            LOG_TRACE << "Ringtone" << ringtoneFile->fileName() << playing;
        }
    }
    incomingDialog->show();
    incomingDialog->raise();
    incomingDialog->activateWindow();
}

void ContentWidget::stopRinging()
{
    talk::MediaEngine *engine = phone ? phone->mediaEngine() : nullptr;
    if (engine)
        engine->stopPlaying();
}

void ContentWidget::onIncomingCallAccepted()
{
    stopRinging();
    const talk::Call *call = ringingGuard ? ringingCall : nullptr;
    ringingCall = nullptr;
    ringingGuard = nullptr;
    if (!call) {
        LOG_WARNING << "The incoming call is gone; nothing to answer";
        return;
    }
    // Calls are handed around const; answering is the one change the program makes to one.
    const_cast<talk::Call *>(call)->accept();
    dialPad()->showAnsweredCall(call);
    showView(DialPadView, true);
}

void ContentWidget::onIncomingCallRejected()
{
    stopRinging();
    const talk::Call *call = ringingGuard ? ringingCall : nullptr;
    ringingCall = nullptr;
    ringingGuard = nullptr;
    if (!call) {
        LOG_WARNING << "The incoming call is gone; nothing to reject";
        return;
    }
    const_cast<talk::Call *>(call)->reject();
}

void ContentWidget::onIncomingCallHangupDecline(const talk::Call *call)
{
    onRingingCallGone(call);
}

void ContentWidget::onRingingCallGone(const talk::Call *call)
{
    // Compared by address only: the call may be on its way out already.
    if (!call || !ringingCall || ringingCall != call)
        return;
    LOG_TRACE << "The ringing call ended before it was answered";
    const QString number = ringingGuard ? Phone::remoteNumber(call) : ringingNumber;
    ringingCall = nullptr;
    ringingGuard = nullptr;
    stopRinging();
    if (incomingDialog)
        incomingDialog->hide();
    missedNumbers << number;
    showMissedCallsDialog();
}

void ContentWidget::showMissedCallsDialog()
{
    if (!missedDialog) {
        missedDialog = new MissedCallsDialog(contactManager, this);
        connect(missedDialog, &MissedCallsDialog::callNumber, this,
            &ContentWidget::onCallNumberFromMissedCallDialog);
        connect(missedDialog, &MissedCallsDialog::sendSMSToNumber, this,
            &ContentWidget::onSendSMSFromMissedCallDialog);
        connect(missedDialog, &QDialog::accepted, this, &ContentWidget::onMissedCallsDialogClosed);
        connect(missedDialog, &QDialog::rejected, this, &ContentWidget::onMissedCallsDialogClosed);
    }
    missedDialog->setMissedCallsNumbers(missedNumbers);
    missedDialog->show();
    missedDialog->raise();
}

void ContentWidget::onMissedCallsDialogClosed()
{
    // Seen: the next missed call starts a fresh list.
    missedNumbers.clear();
}

void ContentWidget::onCallNumberFromMissedCallDialog(QString number)
{
    LOG_TRACE << "Getting signal from MissedCallsDialog";
    if (missedDialog)
        missedDialog->accept();
    onCallContactRequested(QString(), number);
}

void ContentWidget::onSendSMSFromMissedCallDialog(QString number)
{
    LOG_TRACE << "Getting signal from MissedCallsDialog";
    if (missedDialog)
        missedDialog->accept();
    onSendSMSRequested(QString(), number);
}

void ContentWidget::clearDialpad()
{
    dialPad()->reset();
    if (incomingDialog)
        incomingDialog->hide();
    ringingCall = nullptr;
    ringingGuard = nullptr;
    balance = Balance();
    pin.clear();
    updatePinLabel();
    updateLiveCallPanel();
}
