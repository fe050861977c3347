#pragma once

#include "talk/proxysettings.h"
#include "ui/dialogbase.h"

namespace Ui {
class ProxySettingsDialog;
}

// Asks for the proxy the program should go through: host, port, HTTPS or SOCKS, and optional
// credentials. OK is taken only for settings the talk connection can use.
class ProxySettingsDialog : public DialogBase
{
    Q_OBJECT
public:
    explicit ProxySettingsDialog(QWidget *parent = nullptr);
    ~ProxySettingsDialog() override;

    // The record the fields describe. portValid is false when the port text is not a number from
    // 1 to 65535 (the port is then 0, or the number as typed when it is out of range).
    static talk::ProxySettings proxyFromFields(const QString &host, const QString &portText,
        const QString &typeText, bool auth, const QString &user, const QString &password, bool *portValid);
    // Runs the dialog modally over proxy with the message; on OK proxy holds the entered settings.
    static bool run(talk::ProxySettings &proxy, const QString &message, QWidget *parent = nullptr);

    QString message() const;

public slots:
    void setMessage(QString message);
    void setProxySettings(talk::ProxySettings proxySettings);
    talk::ProxySettings proxySettings();

private slots:
    void onAuthRequiredChecked(bool checked);
    void onOkClicked();

private:
    void warn(const QString &text);

    Ui::ProxySettingsDialog *ui;
    talk::ProxySettings proxy;
};
