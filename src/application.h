#pragma once

#include <QApplication>
#include <QIcon>
#include <QList>
#include <QNetworkProxy>
#include <QPointer>

#include <memory>

class InstanceGuard;
#include "ui/mainwindow.h"
class ObjFactory;
class PowerMonitor;
class PrefixProvider;
class SplashScreen;

// The program's application object: single instance, trace log, embedded fonts, style sheet, splash
// screen, and 750 ms later the main window with the services wired into it.
//
// Construction only sets up the toolkit and the instance guard; start() does the rest once main has
// made sure this is the primary instance, so a second start never touches the running one's log.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    ~Application() override;

    static QString showMessage() { return QStringLiteral("--show"); }
    static constexpr int sendTimeout = 3000;
    static constexpr int initDelay = 750;

    // Another instance of this user's program runs.
    bool isRunning();
    bool sendMessage(const QString &message, int timeout);

    // Log, fonts, style sheet, splash screen, and initUI() after initDelay.
    void start();
    // Closes the window before main tears the services down.
    void shutdownUI();

    MainWindow *mainWindow() const { return window; }
    PrefixProvider *prefixProvider() const { return prefixes; }
    // Proxies of the system other than "no proxy", as found by initUI.
    QList<QNetworkProxy> detectedProxies() const { return proxies; }

    static bool installTalkvaneMessageHandler();
    static bool installCrashReporting(const QString &version);
    static bool uninstallCrashReporting();
    // Starts the updater beside the executable, if there is one.
    static bool checkForUpdatesInBackground();
    static QString updaterPath();
    static QStringList updaterArguments();

    // Loads, on a worker thread during the pause before initUI(), what the main window's services
    // need first: the talk engine library with its dependencies, and TLS, which both services speak.
    // Changes nothing the program does, only when the time is spent.
    static void prepareInBackground();
    // Does on the GUI thread, right after the splash screen shows, what initUI() would otherwise
    // wait for: reads the country table and the window icon, creates the web-service manager and the settings (which
    // open the database and the talk engine), and, for an automatic sign-in without a proxy of the
    // user's own, opens the web service's HTTPS connection. Runs once; initUI() calls it too.
    void prepareInPause();
    // Opens the web service's HTTPS connection for an automatic sign-in, unless the user has a proxy
    // of their own (initUI() puts it in place only later). Returns whether it did.
    static bool connectAheadForAutoLogin(ObjFactory *factory);
    // Registers the fonts listed in the index resource; returns the font ids in list order.
    static QList<int> loadFonts(const QString &indexResource = QStringLiteral(":/fonts/index.txt"));
    static QString loadStyleSheet();
    // Hands the factory's services to a main window and connects them, as the program does.
    static void wireMainWindow(MainWindow *window, ObjFactory *factory, const PrefixProvider *prefixes);

public slots:
    void initUI();
    void onApplicationMessageReceived(QString message);
    // 1 suspend, 2 resume; remembered until the main window exists.
    void onPowerStateChanged(int state);

signals:
    // The main window is up (tests and the start-up benchmark wait for it).
    void uiReady();

private:
    void detectProxies();
    void tellAboutCrashReports();

    QPointer<MainWindow> window;
    PrefixProvider *prefixes = nullptr;
    std::unique_ptr<SplashScreen> splashScreen;
    QPointer<ObjFactory> objFactory;
    QList<QNetworkProxy> proxies;
    InstanceGuard *guard = nullptr;
    PowerMonitor *powerMonitor = nullptr;
    int pendingPowerState = 0;
    bool preparedInPause = false;
    QIcon windowIcon;
};

// The one application object.
Application *applicationInstance();
