#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include "contactmanager.h"
#include "history/history.h"
#include "history/loginhistory.h"
#include "homeurls.h"
#include "phone/phone.h"
#include "rest/restmanager.h"
#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "ui/contentwidget.h"
#include "ui/importcontactsdialog.h"
#include "ui/internetcheck.h"
#include "ui/minimizetotraydialog.h"
#include "ui/proxysettingsdialog.h"
#include "ui/settingsdialog.h"
#include "ui/welcomedialog.h"
#include "util/log.h"

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent, Qt::FramelessWindowHint)
    , ui(new Ui::MainWindow)
    , resumeCheck(new InternetCheck(this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    buildMenus();
    setLoggedInActionsEnabled(false);

    connect(ui->closeButton, &QPushButton::clicked, this, &MainWindow::onCloseTriggered);
    connect(ui->logoutButton, &QPushButton::clicked, this, &MainWindow::onCloseTriggered);
    connect(ui->minimizeButton, &QPushButton::clicked, this, &MainWindow::onMinimizeClicked);

    connect(ui->actionSettings, &QAction::triggered, this, &MainWindow::onSettingsActionTriggered);
    connect(ui->actionLogout, &QAction::triggered, this, &MainWindow::requestLogout);
    connect(ui->actionClose, &QAction::triggered, this, &MainWindow::onCloseTriggered);
    connect(ui->actionContact_List, &QAction::triggered, this, &MainWindow::onChangeViewActionTriggerd);
    connect(ui->actionAdd_Contact, &QAction::triggered, this, &MainWindow::onAddContactActionTriggered);
    connect(ui->actionCreate_Group, &QAction::triggered, this, &MainWindow::onCreateGroupActionTriggered);
    connect(
        ui->actionImport_contacts, &QAction::triggered, this, &MainWindow::onImportContactsActionTriggered);
    connect(ui->actionGet_more_credit, &QAction::triggered, this, &MainWindow::onMenuURLActionTriggered);
    connect(ui->actionSMS, &QAction::triggered, this, &MainWindow::onChangeViewActionTriggerd);
    connect(ui->actionOnline_number, &QAction::triggered, this, &MainWindow::onChangeViewActionTriggerd);
    connect(ui->actionCall_History, &QAction::triggered, ui->contentWidget, &ContentWidget::showCallHistory);
    connect(ui->actionView_calling_rates, &QAction::triggered, this, &MainWindow::onMenuURLActionTriggered);
    connect(ui->actionView_sms_rates, &QAction::triggered, this, &MainWindow::onMenuURLActionTriggered);
    connect(ui->actionAbout_Talkvane, &QAction::triggered, this, &MainWindow::onAboutActionTriggered);
    connect(ui->actionContact_us, &QAction::triggered, this, &MainWindow::onMenuURLActionTriggered);
    connect(ui->actionTalkvane_Homepage, &QAction::triggered, this, &MainWindow::onMenuURLActionTriggered);
    connect(ui->actionShow_welcome_screen, &QAction::triggered, this, &MainWindow::showWelcomeDialog);
    connect(ui->actionShow_Phone, &QAction::triggered, this, &MainWindow::onShowPhoneActionTriggered);
    connect(ui->action_Call_Contact, &QAction::triggered, this, &MainWindow::onCallContactTriggered);
    connect(ui->action_Call_Phone_number, &QAction::triggered, this, &MainWindow::onCallPhoneNumberTriggered);
    connect(ui->actionQuit, &QAction::triggered, this, &MainWindow::requestQuit);

    buildTray();
    connect(ui->contentWidget, &ContentWidget::loginClicked, this, &MainWindow::onLoginClicked);
    connect(ui->contentWidget, &ContentWidget::loginCancelled, this, &MainWindow::onLoginCancelled);
    connect(resumeCheck, &InternetCheck::finished, this, &MainWindow::onResumeCheckFinished);
    ui->titleBarWidget->installEventFilter(this);

    setWindowTitle(tr("Talkvane"));
    setMinimumSize(QPixmap(QStringLiteral(":/gfx/mainwindow.png")).size());
    resize(minimumSize());
}

MainWindow::~MainWindow()
{
    if (tray)
        tray->hide();
    delete ui;
}

void MainWindow::buildMenus()
{
    menus = new QMenuBar(ui->menuPlaceholder);
    menus->setNativeMenuBar(false);
    ui->menuPlaceholder->layout()->addWidget(menus);
    QMenu *phoneMenu = menus->addMenu(tr("Phone"));
    phoneMenu->setObjectName(QStringLiteral("menuPhone"));
    phoneMenu->addActions({ ui->actionSettings, ui->actionLogout });
    phoneMenu->addSeparator();
    phoneMenu->addAction(ui->actionClose);
    QMenu *contactsMenu = menus->addMenu(tr("Contacts"));
    contactsMenu->setObjectName(QStringLiteral("menuContacts"));
    contactsMenu->addActions(
        { ui->actionContact_List, ui->actionAdd_Contact, ui->actionCreate_Group, ui->actionImport_contacts });
    QMenu *callsMenu = menus->addMenu(tr("Calls"));
    callsMenu->setObjectName(QStringLiteral("menuCalls"));
    callsMenu->addActions(
        { ui->actionGet_more_credit, ui->actionSMS, ui->actionOnline_number, ui->actionCall_History });
    callsMenu->addSeparator();
    callsMenu->addActions({ ui->actionView_calling_rates, ui->actionView_sms_rates });
    QMenu *helpMenu = menus->addMenu(tr("Help"));
    helpMenu->setObjectName(QStringLiteral("menuHelp"));
    helpMenu->addActions({ ui->actionAbout_Talkvane, ui->actionContact_us, ui->actionTalkvane_Homepage });
    helpMenu->addSeparator();
    helpMenu->addAction(ui->actionShow_welcome_screen);

    trayContextMenu = new QMenu(this);
    trayContextMenu->setObjectName(QStringLiteral("trayMenu"));
    trayContextMenu->addActions(
        { ui->actionShow_Phone, ui->action_Call_Contact, ui->action_Call_Phone_number });
    trayContextMenu->addSeparator();
    trayContextMenu->addAction(ui->actionQuit);
}

void MainWindow::buildTray()
{
    tray = new QSystemTrayIcon(this);
    tray->setContextMenu(trayContextMenu);
    tray->setToolTip(QCoreApplication::applicationName());
    setTrayOnline(false);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        tray->show();
    else
        LOG_TRACE << "No system tray on this desktop";
    connect(tray, &QSystemTrayIcon::activated, this, &MainWindow::onSysTrayActivated);
}

void MainWindow::setTrayOnline(bool online)
{
    tray->setIcon(QIcon(online ? QStringLiteral(":/gfx/system-tray-icon-online.png")
                               : QStringLiteral(":/gfx/system-tray-icon-offline.png")));
}

QList<QAction *> MainWindow::loggedInActions() const
{
    // "Call Phone Number" too: the dial pad is of no use before the voice service is reached.
    return { ui->actionLogout, ui->actionGet_more_credit, ui->actionSMS, ui->actionOnline_number,
        ui->actionCall_History, ui->actionView_calling_rates, ui->actionView_sms_rates, ui->actionSettings,
        ui->actionShow_welcome_screen, ui->actionShow_Phone, ui->action_Call_Contact,
        ui->action_Call_Phone_number };
}

void MainWindow::setLoggedInActionsEnabled(bool enabled)
{
    for (QAction *action : loggedInActions())
        action->setEnabled(enabled);
    if (QMenu *contacts = menus->findChild<QMenu *>(QStringLiteral("menuContacts")))
        contacts->menuAction()->setVisible(enabled);
}

ContentWidget *MainWindow::contentWidget() const
{
    return ui->contentWidget;
}

QString MainWindow::logoutCloseText() const
{
    return ui->logoutCloseLabel->text();
}

// --- services ---------------------------------------------------------------------------------

void MainWindow::setSettings(Settings *store)
{
    settings = store;
    ui->contentWidget->setSettings(store);
}

void MainWindow::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    ui->contentWidget->setPhone(controller);
    if (!phone)
        return;
    connect(phone, &Phone::loginSuccessful, this, &MainWindow::logIn, Qt::UniqueConnection);
    connect(phone, &Phone::loginFailed, this, [this](Phone::LoginError error) { onLoginFailed(int(error)); });
    connect(phone, &Phone::connectionMissed, this, &MainWindow::onConnectionMissed, Qt::QueuedConnection);
    connect(phone, &Phone::connectionReplaced, this, &MainWindow::onConnectionReplaced, Qt::QueuedConnection);
    connect(
        phone, &Phone::connectionErrorOccured, this, &MainWindow::onConnectionError, Qt::QueuedConnection);
}

void MainWindow::setHomeUrls(HomeUrls *urls)
{
    homeUrls = urls;
    ui->contentWidget->setHomeUrls(urls);
}

void MainWindow::setRestManager(RestManager *manager)
{
    restManager = manager;
    ui->contentWidget->setRestManager(manager);
}

void MainWindow::setContactManager(ContactManager *manager)
{
    contactManager = manager;
    ui->contentWidget->setContactManager(manager);
}

void MainWindow::setHistory(History *store)
{
    history = store;
    ui->contentWidget->setHistory(store);
}

void MainWindow::setPrefixProvider(const PrefixProvider *provider)
{
    ui->contentWidget->setPrefixProvider(provider);
}

void MainWindow::setDetectedProxies(const QList<QNetworkProxy> &proxies)
{
    detectedProxies = proxies;
}

void MainWindow::onMediaEngineCreated()
{
    if (!phone || !phone->mediaEngine())
        return;
    phone->mediaEngine()->setSettings(settings);
    phone->mediaEngine()->pickDefaultDevices(false);
}

// --- sign-in and sign-out ---------------------------------------------------------------------

void MainWindow::showLogIn()
{
    ui->contentWidget->showView(ContentWidget::LoginView, false);
    ui->contentWidget->doAutoLogin();
    show();
}

void MainWindow::onLoginClicked(QString user, QString password)
{
    lastUser = user;
    lastPassword = password;
    detectedProxyTried = false;
    if (!phone) {
        LOG_WARNING << "No phone controller to sign in with";
        ui->contentWidget->setLoginInProgress(false);
        return;
    }
    phone->login(user, password);
}

void MainWindow::onLoginCancelled()
{
    LOG_TRACE << "Sign-in cancelled by the user";
    ui->contentWidget->setLoginInProgress(false);
    if (phone)
        phone->logout();
}

void MainWindow::logIn()
{
    ui->contentWidget->setLoginInProgress(false);
    // The talk connection signs in again by itself after a lost connection: leave the page alone then.
    if (loggedIn)
        return;
    loggedIn = true;
    ui->contentWidget->showView(ContentWidget::DialPadView, true);
    LOG_TRACE << "Dial pad shown after sign-in";
    setLoggedInActionsEnabled(true);
    ui->logoutCloseLabel->setText(tr("LOGOUT"));
    ui->logoutButton->setAccessibleName(tr("Logout"));
    disconnect(ui->logoutButton, &QPushButton::clicked, this, nullptr);
    connect(ui->logoutButton, &QPushButton::clicked, this, &MainWindow::requestLogout);
    setTrayOnline(true);
    if (settings && settings->rememberLogin() && !lastUser.isEmpty()) {
        settings->setUserName(lastUser);
        settings->setPassword(lastPassword);
        if (history)
            history->loginHistory()->add(lastUser);
    }
    if (settings && settings->showWelcome())
        showWelcomeDialog();
}

void MainWindow::doLogOut()
{
    const bool wasLoggedIn = loggedIn;
    loggedIn = false;
    ui->contentWidget->showView(ContentWidget::LoginView, false);
    setLoggedInActionsEnabled(false);
    ui->logoutCloseLabel->setText(tr("CLOSE"));
    ui->logoutButton->setAccessibleName(tr("Close"));
    disconnect(ui->logoutButton, &QPushButton::clicked, this, nullptr);
    connect(ui->logoutButton, &QPushButton::clicked, this, &MainWindow::onCloseTriggered);
    ui->contentWidget->clearDialpad();
    setTrayOnline(false);
    if (phone && (wasLoggedIn || phone->isLoggedIn()))
        phone->logout();
}

void MainWindow::onLoginFailed(int error)
{
    LOG_TRACE << "Login failed with" << error;
    ui->contentWidget->setLoginInProgress(false);
    doLogOut();
    switch (error) {
    case Phone::WrongCredentials:
        QMessageBox::information(
            this, tr("Login Failed"), tr("Wrong credentials.\nCheck your username or password."));
        break;
    case Phone::ConnectionFailed:
    case Phone::ProxyFailed:
        onConnectionProblem();
        break;
    case Phone::WrongUserForAccount:
        QMessageBox::information(this, tr("Login Failed"), tr("You can't login with a different user."));
        break;
    default:
        QMessageBox::information(
            this, tr("Login Failed"), tr("Problem on the server side.\nPlease try again later."));
        break;
    }
}

talk::ProxySettings MainWindow::proxySettingsFor(const QNetworkProxy &proxy)
{
    int type = talk::ProxySettings::Unset;
    switch (proxy.type()) {
    case QNetworkProxy::Socks5Proxy:
        type = talk::ProxySettings::Socks;
        break;
    case QNetworkProxy::NoProxy:
        type = talk::ProxySettings::NoProxy;
        break;
    case QNetworkProxy::HttpProxy:
    case QNetworkProxy::HttpCachingProxy:
        // A caching HTTP proxy still tunnels with CONNECT like any HTTP proxy.
        type = talk::ProxySettings::Https;
        break;
    default:
        type = talk::ProxySettings::Unset;
        break;
    }
    const bool auth = !proxy.user().isEmpty();
    return talk::ProxySettings(type, proxy.hostName(), proxy.port(), auth, auth ? proxy.user() : QString(),
        auth ? proxy.password() : QString());
}

void MainWindow::onConnectionProblem()
{
    if (!detectedProxies.isEmpty() && !detectedProxyTried) {
        // Once per sign-in: a proxy that does not work either must not loop silently.
        detectedProxyTried = true;
        const QNetworkProxy proxy = detectedProxies.first();
        LOG_TRACE << "Trying the detected proxy" << proxy.hostName() << proxy.port();
        QNetworkProxy::setApplicationProxy(proxy);
        applyProxySettings(proxySettingsFor(proxy), true);
        return;
    }
    const auto answer = QMessageBox::question(this, tr("Login Failed"),
        tr("Cannot connect to the internet.\nPlease check your internet connection.\nDo you use a proxy?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        talk::ProxySettings proxy = settings ? settings->proxySettings() : talk::ProxySettings();
        const QString message = tr("There seems to be a problem with your internet connection.\n"
                                   "If you use a proxy to connect to the internet, enter the details below.");
        bool accepted = false;
        if (proxyDialog)
            accepted = proxyDialog(proxy, message);
        else
            accepted = ProxySettingsDialog::run(proxy, message, this);
        if (accepted) {
            if (settings) {
                settings->setCustomProxy(true);
                settings->setProxySettings(proxy);
            }
            applyProxySettings(proxy, true);
            return;
        }
    }
    // No proxy, or none given: remember that and stay signed out until the user tries again.
    if (settings)
        settings->setCustomProxy(false);
    applyProxySettings(talk::ProxySettings(), false);
}

void MainWindow::applyProxySettings(const talk::ProxySettings &proxy, bool signInAgain)
{
    if (!phone)
        return;
    phone->setProxySettings(proxy);
    if (!signInAgain)
        return;
    phone->loginAgain();
    ui->contentWidget->setLoginInProgress(true);
}

void MainWindow::onConnectionMissed()
{
    QMessageBox::information(
        this, tr("Connection problem"), tr("Your internet connection is no longer available."));
    doLogOut();
}

void MainWindow::onConnectionReplaced()
{
    QMessageBox::information(this, tr("Remote login"), tr("You've logged in on another machine."));
    doLogOut();
}

void MainWindow::onConnectionError()
{
    QMessageBox::information(
        this, tr("Connection problem"), tr("Unknown connection error.\nPlease contact Customer Support."));
    doLogOut();
}

// --- quit, logout, close ----------------------------------------------------------------------

void MainWindow::requestQuit()
{
    if (isHidden())
        show();
    raise();
    activateWindow();
    ui->contentWidget->cancelQuestion();
    QTimer::singleShot(100, this, &MainWindow::showQuitQuery);
}

void MainWindow::requestLogout()
{
    if (isHidden())
        show();
    ui->contentWidget->cancelQuestion();
    QTimer::singleShot(100, this, &MainWindow::showLogoutQuery);
}

void MainWindow::showQuitQuery()
{
    if (!ui->contentWidget->askQuestion(tr("Quit?")))
        return;
    if (phone && phone->isLoggedIn()) {
        connect(phone, &Phone::logoutSuccessful, qApp, &QCoreApplication::quit, Qt::UniqueConnection);
        phone->logout();
    } else {
        QCoreApplication::quit();
    }
}

void MainWindow::showLogoutQuery()
{
    if (ui->contentWidget->askQuestion(tr("Logout?")))
        doLogOut();
}

void MainWindow::onCloseTriggered()
{
    if (!settings || settings->minimizeToTrayOnClose()) {
        hide();
        showMinimizeToTrayHint();
    } else {
        requestQuit();
    }
}

void MainWindow::showMinimizeToTrayHint()
{
    const bool hint = settings ? settings->minimizeToTrayHint() : true;
    LOG_TRACE << "Minimize to tray hint:" << hint;
    if (!hint)
        return;
    MinimizeToTrayDialog dialog(settings);
    dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    onCloseTriggered();
}

void MainWindow::onMinimizeClicked()
{
    showMinimized();
}

void MainWindow::onShowPhoneActionTriggered()
{
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::onSysTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        onShowPhoneActionTriggered();
}

// --- pages and pages of others ----------------------------------------------------------------

void MainWindow::onCallPhoneNumberTriggered()
{
    onShowPhoneActionTriggered();
    if (!loggedIn)
        return;
    ui->contentWidget->showView(ContentWidget::DialPadView, true);
}

void MainWindow::onCallContactTriggered()
{
    onShowPhoneActionTriggered();
    if (!loggedIn)
        return;
    ui->contentWidget->showView(ContentWidget::ContactListView, true);
}

void MainWindow::onChangeViewActionTriggerd()
{
    if (!loggedIn)
        return;
    QObject *source = sender();
    if (source == ui->actionSMS)
        ui->contentWidget->showView(ContentWidget::SmsView, true);
    else if (source == ui->actionOnline_number)
        ui->contentWidget->showView(ContentWidget::VirtualNumbersView, true);
    else if (source == ui->actionContact_List)
        ui->contentWidget->showView(ContentWidget::ContactListView, true);
}

void MainWindow::onMenuURLActionTriggered()
{
    const HomeUrls &urls = homeUrls ? *homeUrls : HomeUrls::instance();
    QObject *source = sender();
    QUrl url;
    if (source == ui->actionGet_more_credit)
        url = urls.buyCreditURL;
    else if (source == ui->actionView_calling_rates)
        url = urls.viewRatesURL;
    else if (source == ui->actionView_sms_rates)
        url = urls.viewSMSRatesURL;
    else if (source == ui->actionContact_us)
        url = urls.contactURL;
    else if (source == ui->actionTalkvane_Homepage)
        url = urls.homePageURL;
    if (!url.isEmpty())
        QDesktopServices::openUrl(url);
}

void MainWindow::onAboutActionTriggered()
{
    QMessageBox::about(this, tr("About ") + QCoreApplication::applicationName(),
        QCoreApplication::applicationName() + tr(", version ") + QCoreApplication::applicationVersion());
}

void MainWindow::onSettingsActionTriggered()
{
    SettingsDialog(phone ? phone->talk() : nullptr, settings, this).exec();
    ui->contentWidget->configureHotkeys();
}

void MainWindow::onAddContactActionTriggered()
{
    if (!loggedIn)
        return;
    ui->contentWidget->onAddContactClicked();
}

void MainWindow::onCreateGroupActionTriggered()
{
    if (!loggedIn)
        return;
    ui->contentWidget->onAddGroupClicked();
}

void MainWindow::onImportContactsActionTriggered()
{
    if (!contactManager) {
        LOG_WARNING << "no address book to import into";
        return;
    }
    ImportContactsDialog dialog(this);
    dialog.setContactManager(contactManager);
    dialog.exec();
}

void MainWindow::showWelcomeDialog()
{
    WelcomeDialog(phone ? phone->mediaEngine() : nullptr, settings, this).exec();
}

// --- suspend and resume -----------------------------------------------------------------------

void MainWindow::setPowerState(int state)
{
    if (state == power)
        return;
    power = state;
    if (state == PowerSuspended)
        onSuspend();
    else if (state == PowerResumed)
        onResume();
}

void MainWindow::onSuspend()
{
    LOG_TRACE << "System suspended, signing out";
    if (loggedIn || (phone && phone->isLoggedIn()))
        doLogOut();
}

void MainWindow::onResume()
{
    LOG_TRACE << "System resumed, waiting for the network";
    if (power == PowerResumed)
        resumeCheck->start();
}

void MainWindow::onResumeCheckFinished(bool connected)
{
    if (power != PowerResumed)
        return;
    if (!connected) {
        QTimer::singleShot(2000, this, &MainWindow::onResume);
        return;
    }
    LOG_TRACE << "Network is back after the resume";
    ui->contentWidget->doAutoLogin();
}

// --- frameless window: move by the title bar --------------------------------------------------

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->titleBarWidget) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton) {
                dragging = true;
                dragOffset = mouse->globalPos() - frameGeometry().topLeft();
            }
            break;
        case QEvent::MouseMove:
            if (dragging && (mouse->buttons() & Qt::LeftButton))
                move(mouse->globalPos() - dragOffset);
            break;
        case QEvent::MouseButtonRelease:
            dragging = false;
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
