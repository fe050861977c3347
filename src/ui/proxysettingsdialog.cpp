#include "ui/proxysettingsdialog.h"
#include "ui_proxysettingsdialog.h"

#include <QIntValidator>
#include <QMessageBox>

#include "util/log.h"

ProxySettingsDialog::ProxySettingsDialog(QWidget *parent)
    : DialogBase(parent), ui(new Ui::ProxySettingsDialog)
{
    ui->setupUi(dialogContentWidget());
    setTitle(tr("Proxy Settings"));
    setMessage(tr("Talkvane had a problem using your System Proxy for the internet connection.\n"
                  "Please provide below the details necessary for this."));
    ui->portLineEdit->setValidator(new QIntValidator(0, 65535, ui->portLineEdit));
    ui->proxyTypeComboBox->clear();
    ui->proxyTypeComboBox->addItem(QStringLiteral("HTTPS"));
    ui->proxyTypeComboBox->addItem(QStringLiteral("SOCKS"));
    onAuthRequiredChecked(false);
    connect(ui->authCheckBox, &QCheckBox::toggled, this, &ProxySettingsDialog::onAuthRequiredChecked);
    connect(ui->okButton, &QPushButton::clicked, this, &ProxySettingsDialog::onOkClicked);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ui->okButton->setDefault(true);
}

ProxySettingsDialog::~ProxySettingsDialog()
{
    delete ui;
}

bool ProxySettingsDialog::run(talk::ProxySettings &proxy, const QString &message, QWidget *parent)
{
    ProxySettingsDialog dialog(parent);
    dialog.setProxySettings(proxy);
    dialog.setMessage(message);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    proxy = dialog.proxySettings();
    return true;
}

QString ProxySettingsDialog::message() const
{
    return ui->messageLabel->text();
}

void ProxySettingsDialog::setMessage(QString message)
{
    ui->messageLabel->setText(message);
}

void ProxySettingsDialog::setProxySettings(talk::ProxySettings proxySettings)
{
    if (!proxySettings.isValid())
        return;
    proxy = proxySettings;
    ui->hostnameLineEdit->setText(proxy.host());
    ui->portLineEdit->setText(QString::number(proxy.port()));
    const int index = proxy.type() - 1;
    if (index >= 0 && index < ui->proxyTypeComboBox->count())
        ui->proxyTypeComboBox->setCurrentIndex(index);
    ui->authCheckBox->setChecked(proxy.auth());
    onAuthRequiredChecked(proxy.auth());
    ui->usernameLineEdit->setText(proxy.user());
    ui->passwordLineEdit->setText(proxy.password());
}

talk::ProxySettings ProxySettingsDialog::proxySettings()
{
    return proxy;
}

void ProxySettingsDialog::onAuthRequiredChecked(bool checked)
{
    ui->usernameLineEdit->setEnabled(checked);
    ui->passwordLineEdit->setEnabled(checked);
    ui->usernameLabel->setEnabled(checked);
    ui->passwordLabel->setEnabled(checked);
}

talk::ProxySettings ProxySettingsDialog::proxyFromFields(const QString &host, const QString &portText,
    const QString &typeText, bool auth, const QString &user, const QString &password, bool *portValid)
{
    bool isNumber = false;
    int port = portText.trimmed().toInt(&isNumber, 10);
    if (!isNumber)
        port = 0;
    if (portValid)
        *portValid = isNumber && port > 0 && port <= 65535;
    int type = talk::ProxySettings::NoProxy;
    if (typeText == QLatin1String("HTTPS"))
        type = talk::ProxySettings::Https;
    else if (typeText == QLatin1String("SOCKS"))
        type = talk::ProxySettings::Socks;
    talk::ProxySettings result(type, host.trimmed(), port);
    if (auth) {
        result.setAuth(true);
        result.setUser(user);
        result.setPassword(password);
    }
    return result;
}

void ProxySettingsDialog::onOkClicked()
{
    bool portValid = false;
    const talk::ProxySettings entered = proxyFromFields(ui->hostnameLineEdit->text(),
        ui->portLineEdit->text(), ui->proxyTypeComboBox->currentText(), ui->authCheckBox->isChecked(),
        ui->usernameLineEdit->text(), ui->passwordLineEdit->text(), &portValid);
    // A proxy without a usable port cannot carry anything: say so and keep the dialog open.
    if (!portValid && !(entered.host().isEmpty() && entered.port() == 0)) {
        LOG_TRACE << "Proxy port refused:" << ui->portLineEdit->text();
        warn(tr("The port number is invalid."));
        ui->portLineEdit->setFocus();
        return;
    }
    // Without a host nothing can be reached either, whatever the port says.
    if (!entered.isValid() || entered.host().isEmpty()) {
        LOG_TRACE << "Proxy settings refused:" << entered;
        warn(tr("The proxy settings you entered are not valid.\nPlease check them and try again"));
        return;
    }
    proxy = entered;
    LOG_TRACE << "Proxy settings entered:" << proxy;
    accept();
}

void ProxySettingsDialog::warn(const QString &text)
{
    QMessageBox::warning(this, tr("Proxy Settings Invalid"), text);
}
