#include "application.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QNetworkProxyFactory>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTextStream>
#include <QThreadPool>
#include <QTimer>

#include "homeurls.h"
#include "objfactory.h"
#include "phone/phone.h"
#include "rest/restmanager.h"
#include "prefixprovider.h"
#include "settings/settings.h"
#include "talk/vesktalk.h"
#include "ui/crashreporter.h"
#include "ui/instanceguard.h"
#include "ui/mainwindow.h"
#include "ui/powermonitor.h"
#include "ui/splashscreen.h"
#include "util/log.h"
#include "util/tracelog.h"

Application *applicationInstance()
{
    return qobject_cast<Application *>(QCoreApplication::instance());
}

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
    , guard(new InstanceGuard(QCoreApplication::applicationFilePath(), TraceLog::dataFolder(), this))
{
    connect(guard, &InstanceGuard::messageReceived, this, &Application::onApplicationMessageReceived);
}

Application::~Application()
{
    delete window.data();
    splashScreen.reset();
    delete prefixes;
}

bool Application::isRunning()
{
    return guard->isRunning();
}

bool Application::sendMessage(const QString &message, int timeout)
{
    return guard->sendMessage(message, timeout);
}

void Application::start()
{
    splashScreen = std::make_unique<SplashScreen>();
    objFactory = ObjFactory::instance();
    installTalkvaneMessageHandler();
    loadFonts();
    setStyleSheet(loadStyleSheet());
    splashScreen->show();
    prepareInBackground();
    QTimer::singleShot(initDelay, this, &Application::initUI);
    // Once the splash screen is up, not before it.
    QTimer::singleShot(0, this, &Application::prepareInPause);

    powerMonitor = new PowerMonitor(this);
    connect(powerMonitor, &PowerMonitor::powerStateChanged, this, &Application::onPowerStateChanged);
}

void Application::shutdownUI()
{
    delete window.data();
    splashScreen.reset();
}

void Application::prepareInPause()
{
    if (preparedInPause)
        return;
    preparedInPause = true;
    prefixes = new PrefixProvider();
    // Reading the icon file decodes every size in it.
    windowIcon = QIcon(QStringLiteral(":/gfx/app-icon.ico"));
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    ObjFactory *factory = objFactory ? objFactory.data() : ObjFactory::instance();
    // The process's first network manager loads Qt's network plugins; the settings open the
    // database and bring up the talk engine, which starts reading the system's CA store.
    factory->restManager();
    factory->settings();
    connectAheadForAutoLogin(factory);
}

bool Application::connectAheadForAutoLogin(ObjFactory *factory)
{
    // An automatic sign-in follows the login page at once: its TLS handshake can be done by then.
    // Not past a proxy of the user's own, which only initUI() puts in place.
    const Settings *settings = factory->settings();
    if (!settings->autoLogin() || settings->customProxy())
        return false;
    return factory->restManager()->connectAheadForSignIn();
}

void Application::prepareInBackground()
{
    QThreadPool::globalInstance()->start([]() {
        QSslSocket::supportsSsl();
        // Sets up the ciphers and the certificate store of the TLS defaults.
        QSslConfiguration::defaultConfiguration();
        if (!talk::VeskTalk::preloadLibrary())
            LOG_TRACE << "The talk engine library could not be loaded ahead";
    });
}

bool Application::installTalkvaneMessageHandler()
{
    const bool installed = TraceLog::install();
    if (installed)
        LOG_TRACE << "Application Version:" << QCoreApplication::applicationVersion();
    return installed;
}

QList<int> Application::loadFonts(const QString &indexResource)
{
    QList<int> ids;
    QFile index(indexResource);
    if (!index.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LOG_WARNING << "No font list" << indexResource;
        return ids;
    }
    const QStringList lines = QString::fromUtf8(index.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString path = line.trimmed();
        if (path.isEmpty())
            continue;
        QFile font(path);
        const QByteArray data = font.open(QIODevice::ReadOnly) ? font.readAll() : QByteArray();
        const int id = QFontDatabase::addApplicationFontFromData(data);
        LOG_TRACE << path << id << QFontDatabase::applicationFontFamilies(id);
        ids << id;
    }
    return ids;
}

QString Application::loadStyleSheet()
{
    QString sheet;
    QFile common(QStringLiteral(":/css/common-stylesheet.css"));
    if (common.exists() && common.open(QIODevice::ReadOnly)) {
        LOG_TRACE << "adding common stylesheet";
        sheet = QString::fromUtf8(common.readAll());
    }
    QFile own(QStringLiteral(":/css/stylesheet.css"));
    if (own.open(QIODevice::ReadOnly))
        sheet += QString::fromUtf8(own.readAll());
    return sheet;
}

void Application::initUI()
{
    LOG_TRACE << "Building the main window";
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    prepareInPause();
    setWindowIcon(windowIcon);

    ObjFactory *factory = objFactory ? objFactory.data() : ObjFactory::instance();
    window = new MainWindow();
    wireMainWindow(window, factory, prefixes);
    Settings *settings = factory->settings();
    Phone *phone = factory->phone();

    setQuitOnLastWindowClosed(false);
    if (splashScreen)
        splashScreen->hide();
    window->showLogIn();

    detectProxies();
    if (settings->customProxy())
        phone->setProxySettings(settings->proxySettings());

    if (pendingPowerState != 0) {
        window->setPowerState(pendingPowerState);
        pendingPowerState = 0;
    }
    tellAboutCrashReports();
    // The start-up benchmark and the tests wait for this line.
    QTextStream(stdout) << "Login page shown" << Qt::endl;
    emit uiReady();
}

void Application::wireMainWindow(MainWindow *window, ObjFactory *factory, const PrefixProvider *prefixes)
{
    // The order of creation matters: the phone opens the database on its way.
    Phone *phone = factory->phone();
    Settings *settings = factory->settings();
    HomeUrls *homeUrls = factory->homeUrls();
    RestManager *restManager = factory->restManager();
    ContactManager *contactManager = factory->contactManager();
    History *history = factory->history();
    factory->talk();

    window->setSettings(settings);
    window->setPhone(phone);
    window->setHomeUrls(homeUrls);
    window->setRestManager(restManager);
    window->setContactManager(contactManager);
    window->setHistory(history);
    window->setPrefixProvider(prefixes);
    phone->setHistory(history);

    connect(
        phone, &Phone::usernameChanged, restManager, &RestManager::onUsernameChanged, Qt::UniqueConnection);
    connect(
        phone, &Phone::passwordChanged, restManager, &RestManager::onPasswordChanged, Qt::UniqueConnection);
    connect(
        phone, &Phone::mediaEngineCreated, window, &MainWindow::onMediaEngineCreated, Qt::UniqueConnection);
}

void Application::detectProxies()
{
    const QUrl probe(QStringLiteral("http://") + HomeUrls::instance().homePageURL.host());
    const QList<QNetworkProxy> found
        = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(probe, QNetworkProxyQuery::UrlRequest));
    if (found.isEmpty())
        return;
    LOG_TRACE << "Auto detected proxies:";
    Settings *settings = ObjFactory::instance()->settings();
    for (const QNetworkProxy &proxy : found) {
        LOG_TRACE << proxy.hostName() << proxy.port() << int(proxy.type());
        if (proxy.type() == QNetworkProxy::NoProxy) {
            // Written only when it changes: a write waits for the disk, at every start.
            if (settings->customProxy())
                settings->setCustomProxy(false);
            talk::ProxySettings none;
            none.setType(talk::ProxySettings::NoProxy);
            settings->setProxySettings(none);
            ObjFactory::instance()->phone()->setProxySettings(none);
        } else {
            proxies << proxy;
        }
    }
    if (window)
        window->setDetectedProxies(proxies);
}

void Application::tellAboutCrashReports()
{
    const QString folder = TraceLog::dataFolder();
    const QStringList reports = CrashReporter::unreportedCrashes(folder);
    if (reports.isEmpty())
        return;
    LOG_TRACE << "Told the user about crash reports:" << reports;
    CrashReporter::markReported(folder, reports);
    // Not modal: the user may go on signing in while reading it.
    auto *box = new QMessageBox(QMessageBox::Information, tr("Crash report"),
        tr("Talkvane ended unexpectedly the last time it ran.\n"
           "A crash report was saved in:\n%1")
            .arg(QDir::toNativeSeparators(CrashReporter::reportFolder(folder))),
        QMessageBox::Ok, window);
    box->setObjectName(QStringLiteral("crashReportBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void Application::onApplicationMessageReceived(QString message)
{
    if (message != showMessage() || !window)
        return;
    QPointer<MainWindow> target = window;
    QTimer::singleShot(0, this, [target]() {
        if (target)
            target->onShowPhoneActionTriggered();
    });
}

void Application::onPowerStateChanged(int state)
{
    // A power event during the splash screen has no window to go to yet.
    if (!window) {
        LOG_TRACE << "Power state" << state << "before the main window exists; kept for later";
        pendingPowerState = state == PowerMonitor::Resumed ? 0 : state;
        return;
    }
    window->setPowerState(state);
}

bool Application::installCrashReporting(const QString &version)
{
    return CrashReporter::install(version, TraceLog::dataFolder());
}

bool Application::uninstallCrashReporting()
{
    return CrashReporter::uninstall();
}

QString Application::updaterPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("qrx_updater"));
}

QStringList Application::updaterArguments()
{
    QString host = HomeUrls::instance().homePageURL.host();
    if (host.isEmpty())
        host = QCoreApplication::organizationDomain();
    return { QStringLiteral("/silent"), QStringLiteral("-url"),
        QStringLiteral("https://") + host
            + QStringLiteral("/download/talkvane/qrxLatestVersionControl.txt") };
}

bool Application::checkForUpdatesInBackground()
{
    const QString program = updaterPath();
    const QStringList arguments = updaterArguments();
    LOG_TRACE << "Updater:" << program << arguments;
    if (!QFileInfo(program).isExecutable()) {
        LOG_TRACE << "No updater beside the program, not checking for updates";
        return false;
    }
    const bool started = QProcess::startDetached(program, arguments, QCoreApplication::applicationDirPath());
    LOG_TRACE << "Updater started:" << started;
    return started;
}
