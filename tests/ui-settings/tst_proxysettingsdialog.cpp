#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "modalwatcher.h"
#include "testhooks.h"
#include "ui/proxysettingsdialog.h"

// The proxy settings dialog: which entries OK takes, which warning it gives otherwise, and how a
// stored record fills the form.
class TstProxySettingsDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void okClicked_data();
    void okClicked();
    void defaultMessage();
    void validSettingsFillTheForm_data();
    void validSettingsFillTheForm();
    void invalidSettingsAreNotTaken();
    void authBoxEnablesCredentials();
    void runReturnsTheEnteredSettings();
    void cancelKeepsTheSettings();
    void passwordNeverLogged();

private:
    template <class T> static T *child(QWidget *dialog, const char *name)
    {
        T *widget = dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    static void fill(QWidget *dialog, const QString &host, const QString &port, int typeIndex, bool auth,
        const QString &user, const QString &password);
};

void TstProxySettingsDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstProxySettingsDialog::fill(QWidget *dialog, const QString &host, const QString &port, int typeIndex,
    bool auth, const QString &user, const QString &password)
{
    child<QLineEdit>(dialog, "hostnameLineEdit")->setText(host);
    child<QLineEdit>(dialog, "portLineEdit")->setText(port);
    child<QComboBox>(dialog, "proxyTypeComboBox")->setCurrentIndex(typeIndex);
    child<QCheckBox>(dialog, "authCheckBox")->setChecked(auth);
    child<QLineEdit>(dialog, "usernameLineEdit")->setText(user);
    child<QLineEdit>(dialog, "passwordLineEdit")->setText(password);
}

void TstProxySettingsDialog::okClicked_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("typeIndex");
    QTest::addColumn<bool>("auth");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("portNumber");

    const QString none;
    const QString portWarning = QStringLiteral("Proxy Settings Invalid|The port number is invalid.");
    const QString invalid = QStringLiteral("Proxy Settings Invalid|The proxy settings you entered are not "
                                           "valid.\nPlease check them and try again");
    QTest::newRow("https") << "proxy.local"
                           << "8080" << 0 << false << ""
                           << "" << true << none << 1 << 8080;
    QTest::newRow("socks") << "10.0.0.5"
                           << "1080" << 1 << false << ""
                           << "" << true << none << 2 << 1080;
    QTest::newRow("blanks around host and port") << " proxy.local "
                                                 << " 3128 " << 0 << false << ""
                                                 << "" << true << none << 1 << 3128;
    QTest::newRow("with credentials") << "proxy.local"
                                      << "8080" << 0 << true << "ann"
                                      << "s3cret" << true << none << 1 << 8080;
    QTest::newRow("credentials ignored without auth") << "proxy.local"
                                                      << "8080" << 0 << false << "ann"
                                                      << "s3cret" << true << none << 1 << 8080;
    // A port that is not a number cannot reach any proxy: warned about and refused.
    QTest::newRow("port not a number") << "proxy.local"
                                       << "80a" << 0 << false << ""
                                       << "" << false << portWarning << 0 << 0;
    QTest::newRow("port zero") << "proxy.local"
                               << "0" << 0 << false << ""
                               << "" << false << portWarning << 0 << 0;
    QTest::newRow("port above range") << "proxy.local"
                                      << "70000" << 0 << false << ""
                                      << "" << false << portWarning << 0 << 0;
    QTest::newRow("port negative") << "proxy.local"
                                   << "-1" << 0 << false << ""
                                   << "" << false << portWarning << 0 << 0;
    QTest::newRow("empty host and port") << ""
                                         << "" << 0 << false << ""
                                         << "" << false << invalid << 0 << 0;
    QTest::newRow("empty host and port 0") << ""
                                           << "0" << 0 << false << ""
                                           << "" << false << invalid << 0 << 0;
    QTest::newRow("empty host with a port") << ""
                                            << "8080" << 0 << false << ""
                                            << "" << false << invalid << 0 << 0;
    QTest::newRow("auth without password") << "proxy.local"
                                           << "8080" << 0 << true << "ann"
                                           << "" << false << invalid << 0 << 0;
    QTest::newRow("auth without user") << "proxy.local"
                                       << "8080" << 0 << true << ""
                                       << "pw" << false << invalid << 0 << 0;
}

void TstProxySettingsDialog::okClicked()
{
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(int, typeIndex);
    QFETCH(bool, auth);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    QFETCH(QString, warning);
    QFETCH(int, type);
    QFETCH(int, portNumber);

    ProxySettingsDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    fill(&dialog, host, port, typeIndex, auth, user, password);
    ModalWatcher watcher;
    QTest::mouseClick(child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(watcher.messages, warning.isEmpty() ? QStringList() : QStringList { warning });
    QCOMPARE(dialog.isVisible(), !accepted);
    QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
    const talk::ProxySettings result = dialog.proxySettings();
    if (!accepted) {
        QCOMPARE(result, talk::ProxySettings());
        return;
    }
    QCOMPARE(result.type(), type);
    QCOMPARE(result.host(), host.trimmed());
    QCOMPARE(result.port(), portNumber);
    QCOMPARE(result.auth(), auth);
    QCOMPARE(result.user(), auth ? user : QString());
    QCOMPARE(result.password(), auth ? password : QString());
    QVERIFY(result.isValid());
}

void TstProxySettingsDialog::defaultMessage()
{
    ProxySettingsDialog dialog;
    QCOMPARE(dialog.message(),
        QStringLiteral("Talkvane had a problem using your System Proxy for the internet connection.\n"
                       "Please provide below the details necessary for this."));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Proxy Settings"));
    dialog.setMessage(QStringLiteral("Please provide your proxy settings below."));
    QCOMPARE(child<QLabel>(&dialog, "messageLabel")->text(),
        QStringLiteral("Please provide your proxy settings below."));
    QCOMPARE(child<QComboBox>(&dialog, "proxyTypeComboBox")->itemText(0), QStringLiteral("HTTPS"));
    QCOMPARE(child<QComboBox>(&dialog, "proxyTypeComboBox")->itemText(1), QStringLiteral("SOCKS"));
}

void TstProxySettingsDialog::validSettingsFillTheForm_data()
{
    QTest::addColumn<talk::ProxySettings>("proxy");
    QTest::addColumn<int>("typeIndex");
    QTest::newRow("https with auth") << talk::ProxySettings(1, "proxy.local", 8080, true, "ann", "pw") << 0;
    QTest::newRow("socks") << talk::ProxySettings(2, "10.1.1.1", 1080) << 1;
}

void TstProxySettingsDialog::validSettingsFillTheForm()
{
    QFETCH(talk::ProxySettings, proxy);
    QFETCH(int, typeIndex);
    ProxySettingsDialog dialog;
    dialog.setProxySettings(proxy);
    QCOMPARE(child<QLineEdit>(&dialog, "hostnameLineEdit")->text(), proxy.host());
    QCOMPARE(child<QLineEdit>(&dialog, "portLineEdit")->text(), QString::number(proxy.port()));
    QCOMPARE(child<QComboBox>(&dialog, "proxyTypeComboBox")->currentIndex(), typeIndex);
    QCOMPARE(child<QCheckBox>(&dialog, "authCheckBox")->isChecked(), proxy.auth());
    QCOMPARE(child<QLineEdit>(&dialog, "usernameLineEdit")->text(), proxy.user());
    QCOMPARE(child<QLineEdit>(&dialog, "passwordLineEdit")->text(), proxy.password());
    QCOMPARE(child<QLineEdit>(&dialog, "usernameLineEdit")->isEnabled(), proxy.auth());
    QCOMPARE(dialog.proxySettings(), proxy);
}

void TstProxySettingsDialog::invalidSettingsAreNotTaken()
{
    ProxySettingsDialog dialog;
    dialog.setProxySettings(talk::ProxySettings(3, "proxy.local", 8080));
    dialog.setProxySettings(talk::ProxySettings(1, "", 0));
    QCOMPARE(child<QLineEdit>(&dialog, "hostnameLineEdit")->text(), QString());
    QCOMPARE(dialog.proxySettings(), talk::ProxySettings());
}

void TstProxySettingsDialog::authBoxEnablesCredentials()
{
    ProxySettingsDialog dialog;
    auto *box = child<QCheckBox>(&dialog, "authCheckBox");
    const QList<QWidget *> credentials { child<QLineEdit>(&dialog, "usernameLineEdit"),
        child<QLineEdit>(&dialog, "passwordLineEdit"), child<QLabel>(&dialog, "usernameLabel"),
        child<QLabel>(&dialog, "passwordLabel") };
    for (QWidget *w : credentials)
        QVERIFY(!w->isEnabled());
    box->setChecked(true);
    for (QWidget *w : credentials)
        QVERIFY(w->isEnabled());
    box->setChecked(false);
    for (QWidget *w : credentials)
        QVERIFY(!w->isEnabled());
    QCOMPARE(child<QLineEdit>(&dialog, "passwordLineEdit")->echoMode(), QLineEdit::Password);
}

void TstProxySettingsDialog::runReturnsTheEnteredSettings()
{
    talk::ProxySettings proxy(1, "old.proxy", 8080);
    ModalWatcher watcher([](QWidget *dialog) {
        QCOMPARE(child<QLineEdit>(dialog, "hostnameLineEdit")->text(), QStringLiteral("old.proxy"));
        QCOMPARE(child<QLabel>(dialog, "messageLabel")->text(), QStringLiteral("Which proxy?"));
        fill(dialog, "new.proxy", "3128", 1, true, "bob", "pw");
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    QVERIFY(ProxySettingsDialog::run(proxy, QStringLiteral("Which proxy?")));
    QCOMPARE(proxy, talk::ProxySettings(2, "new.proxy", 3128, true, "bob", "pw"));
}

void TstProxySettingsDialog::cancelKeepsTheSettings()
{
    talk::ProxySettings proxy(1, "old.proxy", 8080);
    ModalWatcher watcher([](QWidget *dialog) {
        fill(dialog, "new.proxy", "3128", 1, false, "", "");
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    });
    QVERIFY(!ProxySettingsDialog::run(proxy, QStringLiteral("Which proxy?")));
    QCOMPARE(proxy, talk::ProxySettings(1, "old.proxy", 8080));
}

void TstProxySettingsDialog::passwordNeverLogged()
{
    LogCapture log;
    ProxySettingsDialog dialog;
    dialog.show();
    fill(&dialog, "proxy.local", "8080", 0, true, "ann", "Pa55-word");
    QTest::mouseClick(child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(log.contains(QStringLiteral("proxy.local")));
    QVERIFY(!log.contains(QStringLiteral("Pa55-word")));
}

QTEST_MAIN(TstProxySettingsDialog)
#include "tst_proxysettingsdialog.moc"
