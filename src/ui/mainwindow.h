#pragma once

#include <QList>
#include <QMainWindow>
#include <QNetworkProxy>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>

#include "talk/proxysettings.h"

namespace Ui {
class MainWindow;
}
class ContactManager;
class ContentWidget;
class History;
struct HomeUrls;
class InternetCheck;
class Phone;
class PrefixProvider;
class QMenuBar;
class QMenu;
class RestManager;
class Settings;

// The program's one window: frameless with its own title bar and menu bar, the content widget in
// the middle and a logout/close button below; it owns the tray icon. It turns sign-in results and
// connection losses into messages, asks before quitting or signing out, and signs out on suspend.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum PowerState {
        PowerRunning = 0,
        PowerSuspended = 1,
        PowerResumed = 2,
    };

    // Asks the user for proxy settings, with a message above the form; true when accepted.
    using ProxyDialogRunner = std::function<bool(talk::ProxySettings &proxy, const QString &message)>;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void setSettings(Settings *settings);
    void setPhone(Phone *phone);
    void setHomeUrls(HomeUrls *urls);
    void setRestManager(RestManager *manager);
    void setContactManager(ContactManager *manager);
    void setHistory(History *history);
    void setPrefixProvider(const PrefixProvider *provider);
    void setDetectedProxies(const QList<QNetworkProxy> &proxies);
    void setProxyDialogRunner(ProxyDialogRunner runner) { proxyDialog = std::move(runner); }

    ContentWidget *contentWidget() const;
    QSystemTrayIcon *trayIcon() const { return tray; }
    QMenu *trayMenu() const { return trayContextMenu; }
    QMenuBar *windowMenuBar() const { return menus; }
    bool isLoggedIn() const { return loggedIn; }
    int powerState() const { return power; }
    QString logoutCloseText() const;
    QList<QAction *> loggedInActions() const;

    // Hands proxy settings to the talk connection; signs in again when asked to.
    void applyProxySettings(const talk::ProxySettings &proxy, bool signInAgain);
    // The proxy-settings record for a proxy the system reported.
    static talk::ProxySettings proxySettingsFor(const QNetworkProxy &proxy);

    void setPowerState(int state);
    void setLoggedInActionsEnabled(bool enabled);

public slots:
    void requestQuit();
    void requestLogout();
    void doLogOut();
    void logIn();
    void showWelcomeDialog();
    void showLogIn();
    void onCloseTriggered();
    void onMinimizeClicked();
    void onSettingsActionTriggered();
    void onAddContactActionTriggered();
    void onCreateGroupActionTriggered();
    void onImportContactsActionTriggered();
    void onAboutActionTriggered();
    void onMenuURLActionTriggered();
    void onChangeViewActionTriggerd();
    void onLoginFailed(int error);
    void onSuspend();
    void onResume();
    void showQuitQuery();
    void showLogoutQuery();
    void onConnectionMissed();
    void onConnectionReplaced();
    void onConnectionError();
    void onShowPhoneActionTriggered();
    void onCallContactTriggered();
    void onCallPhoneNumberTriggered();
    void onSysTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void onLoginClicked(QString user, QString password);
    void onLoginCancelled();
    void onMediaEngineCreated();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildTray();
    void showMinimizeToTrayHint();
    void onConnectionProblem();
    void onResumeCheckFinished(bool connected);
    void setTrayOnline(bool online);

    Ui::MainWindow *ui;
    QMenuBar *menus = nullptr;
    QMenu *trayContextMenu = nullptr;
    QSystemTrayIcon *tray = nullptr;
    int power = PowerRunning;
    bool loggedIn = false;
    // A detected proxy is tried once per sign-in the user starts.
    bool detectedProxyTried = false;
    QString lastUser;
    QString lastPassword;
    QList<QNetworkProxy> detectedProxies;
    ProxyDialogRunner proxyDialog;
    InternetCheck *resumeCheck;
    QPoint dragOffset;
    bool dragging = false;

    QPointer<Phone> phone;
    QPointer<Settings> settings;
    HomeUrls *homeUrls = nullptr;
    QPointer<RestManager> restManager;
    QPointer<ContactManager> contactManager;
    QPointer<History> history;
};
