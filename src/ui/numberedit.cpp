#include "ui/numberedit.h"
#include "ui_numberedit.h"

#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "application.h"
#include "numbers/numberhistory.h"
#include "phone/phone.h"
#include "phonenumbervalidator.h"
#include "prefixprovider.h"
#include "talk/call.h"
#include "ui/flagpopup.h"
#include "ui/recentnumberspopup.h"
#include "util/log.h"

namespace {

QString withoutAccessCodes(QString text)
{
    text = text.trimmed();
    text.remove(QLatin1Char('-'));
    if (text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    if (text.startsWith(QLatin1String("011")))
        text.remove(0, 3);
    int zeros = 0;
    while (zeros < text.size() && text.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return text.mid(zeros);
}

} // namespace

NumberEdit::NumberEdit(QWidget *parent) : QWidget(parent), ui(new Ui::NumberEdit)
{
    ui->setupUi(this);
    auto *shadow = new QGraphicsDropShadowEffect(ui->flagButton);
    shadow->setOffset(2, 2);
    shadow->setBlurRadius(8);
    ui->flagButton->setGraphicsEffect(shadow);
    ui->saveNumberButton->hide();
    ui->numberLineEdit->setValidator(new PhoneNumberValidator(ui->numberLineEdit));
    ui->recentClearButton->setProperty("_is_clear", false);
    ui->recentClearButton->setToolTip(tr("Show recent numbers"));
    ui->saveNumberButton->setToolTip(tr("Add number as new contact"));
    recent = new RecentNumbersPopup(this);
    buildPopups();

    connect(ui->flagButton, &QPushButton::clicked, this, &NumberEdit::onFlagButtonClicked);
    connect(ui->flagArrowButton, &QPushButton::clicked, this, &NumberEdit::onFlagButtonClicked);
    connect(ui->saveNumberButton, &QPushButton::clicked, this, &NumberEdit::onSaveNumberClicked);
    connect(ui->recentClearButton, &QPushButton::clicked, this, &NumberEdit::onRecentClearClicked);
    connect(ui->numberLineEdit, &QLineEdit::textChanged, this, &NumberEdit::onNumberChanged);
    connect(recent, &RecentNumbersPopup::closed, this, &NumberEdit::onRecentNumbersPopupClosed);
    connect(recent, &RecentNumbersPopup::numberSelected, this, &NumberEdit::onRecentNumberSelected);
    ui->numberLineEdit->installEventFilter(this);
    updateRecentButton();
}

NumberEdit::~NumberEdit()
{
    delete ui;
}

const PrefixProvider *NumberEdit::prefixes() const
{
    if (prefixProvider)
        return prefixProvider;
    const Application *app = applicationInstance();
    return app ? app->prefixProvider() : nullptr;
}

void NumberEdit::buildPopups()
{
    delete flags;
    flags = new FlagPopup(prefixes(), this);
    connect(flags, &FlagPopup::closed, this, &NumberEdit::onFlagPopupClosed);
    connect(flags, &FlagPopup::prefixSelected, this, &NumberEdit::onPrefixSelected);
    connect(flags, &FlagPopup::formatNumber, this, &NumberEdit::onFormatNumberRequested);
    showFlag(flags->currentFlag(), flags->currentName());
}

void NumberEdit::setPrefixProvider(const PrefixProvider *provider)
{
    prefixProvider = provider;
    buildPopups();
}

void NumberEdit::setPhone(Phone *controller)
{
    phone = controller;
}

void NumberEdit::setNumberHistory(NumberHistory *history)
{
    numberHistory = history;
    updateRecentButton();
}

void NumberEdit::setContactManager(const ContactManager *manager)
{
    contactManager = manager;
    recent->setContactManager(manager);
}

QString NumberEdit::text() const
{
    return ui->numberLineEdit->text();
}

void NumberEdit::setText(const QString &text)
{
    ui->numberLineEdit->setText(text);
}

void NumberEdit::clearNumber()
{
    ui->numberLineEdit->clear();
}

void NumberEdit::setCountryIndex(int index)
{
    flags->selectCountry(index);
}

int NumberEdit::countryIndex()
{
    return flags->currentRow();
}

QString NumberEdit::normalized(const QString &text)
{
    return withoutAccessCodes(text);
}

void NumberEdit::showFlag(const QPixmap &flag, const QString &country)
{
    QIcon icon;
    icon.addPixmap(flag, QIcon::Normal);
    icon.addPixmap(flag, QIcon::Disabled);
    ui->flagButton->setIcon(icon);
    ui->flagButton->setToolTip(country);
    ui->flagArrowButton->setToolTip(country);
}

void NumberEdit::updateRecentButton()
{
    const bool clear = ui->recentClearButton->property("_is_clear").toBool();
    // Without a number history there are no recent numbers to offer.
    ui->recentClearButton->setEnabled(clear || numberHistory);
}

void NumberEdit::onNumberChanged(const QString &text)
{
    ui->saveNumberButton->setVisible(!text.isEmpty());
    const bool hasText = !text.isEmpty();
    if (ui->recentClearButton->property("_is_clear").toBool() != hasText) {
        ui->recentClearButton->setProperty("_is_clear", hasText);
        ui->recentClearButton->style()->unpolish(ui->recentClearButton);
        ui->recentClearButton->style()->polish(ui->recentClearButton);
        ui->recentClearButton->setToolTip(hasText ? tr("Clear number") : tr("Show recent numbers"));
        updateRecentButton();
    }

    const QString digits = withoutAccessCodes(text);
    if (const PrefixProvider *table = prefixes()) {
        for (int length = qMin(4, digits.size()); length >= 1; --length) {
            const QString candidate = digits.left(length);
            if (!candidate.at(0).isDigit())
                continue;
            const int index = table->indexOfPrefix(candidate);
            if (index >= 0) {
                flags->selectCountry(index);
                break;
            }
        }
    }
    lastText = text;
    emit numberChanged(digits);
}

void NumberEdit::onPrefixSelected(QPixmap flag, QString country, QString prefixNumber, bool byClick)
{
    showFlag(flag, country);
    QString rest = withoutAccessCodes(ui->numberLineEdit->text());
    if (rest.startsWith(prefixNumber))
        rest.remove(0, prefixNumber.size());
    if (byClick)
        rest.clear();

    int cursor = ui->numberLineEdit->cursorPosition();
    // Canada's prefixes are area codes: its numbers stay as typed.
    if (country != QLatin1String("Canada")) {
        const QSignalBlocker blocker(this);
        ui->numberLineEdit->setText(prefixNumber + QLatin1Char('-') + rest);
    }
    if (rest.isEmpty())
        cursor = prefixNumber.size() + 1;
    if (!byClick)
        ui->numberLineEdit->setCursorPosition(cursor);
}

void NumberEdit::onFormatNumberRequested(int index)
{
    const QString current = ui->numberLineEdit->text();
    if (!(lastText.contains(QLatin1Char('-')) || current.contains(QLatin1Char('-')))
        || current.contains(QLatin1Char('+')))
        return;
    QString text = current;
    text.remove(QLatin1Char('('));
    text.remove(QLatin1Char(')'));
    text.remove(QLatin1Char('-'));
    if (text.startsWith(QLatin1String("011")))
        text.remove(0, 3);
    const PrefixProvider *table = prefixes();
    const QStringList countryPrefixes = table ? table->countryPrefixes(index) : QStringList();
    if (countryPrefixes.isEmpty())
        return;
    const QString prefix = countryPrefixes.first();
    const QString formatted = prefix + QLatin1Char('-') + text.mid(prefix.size());
    if (formatted != current)
        ui->numberLineEdit->setText(formatted);
}

void NumberEdit::onFlagButtonClicked()
{
    if (ui->flagButton->isChecked() || ui->flagButton->isCheckable())
        return;
    ui->flagButton->setCheckable(true);
    ui->flagButton->setChecked(true);
    ui->flagButton->setEnabled(false);
    ui->flagArrowButton->setEnabled(false);
    flags->move(ui->flagButton->mapToGlobal(QPoint(0, ui->flagButton->minimumHeight())));
    flags->show();
    flags->activateWindow();
}

void NumberEdit::onFlagPopupClosed()
{
    ui->flagButton->setChecked(false);
    ui->flagButton->setCheckable(false);
    ui->flagButton->setEnabled(true);
    ui->flagArrowButton->setEnabled(true);
}

void NumberEdit::onRecentClearClicked()
{
    if (ui->recentClearButton->property("_is_clear").toBool()) {
        ui->numberLineEdit->clear();
        return;
    }
    if (!numberHistory) {
        LOG_TRACE << "No number history to show";
        return;
    }
    recent->setNumbers(numberHistory->lastFewNumbers());
    if (recent->listWidget()->count() == 0 || ui->recentClearButton->isChecked()
        || ui->recentClearButton->isCheckable())
        return;
    ui->recentClearButton->setCheckable(true);
    ui->recentClearButton->setChecked(true);
    ui->recentClearButton->setEnabled(false);
    const QPoint below = ui->recentClearButton->mapToGlobal(
        QPoint(ui->recentClearButton->width(), ui->recentClearButton->height()));
    recent->move(below.x() - recent->width(), below.y());
    recent->show();
    recent->activateWindow();
}

void NumberEdit::onRecentNumbersPopupClosed()
{
    ui->recentClearButton->setChecked(false);
    ui->recentClearButton->setCheckable(false);
    ui->recentClearButton->setEnabled(true);
    updateRecentButton();
}

void NumberEdit::onRecentNumberSelected(QString number)
{
    ui->numberLineEdit->setText(number);
}

void NumberEdit::onSaveNumberClicked()
{
    emit saveNumberClicked(ui->numberLineEdit->text());
}

void NumberEdit::on_numberLineEdit_returnPressed()
{
    emit returnPressed();
}

bool NumberEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->numberLineEdit && event->type() == QEvent::KeyPress && phone && phone->isInCall()) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty() && QStringLiteral("0123456789*#").contains(text.at(0))) {
            talk::Call *call = phone->currentCall();
            // The engine may report a call before any call has the focus.
            if (call) {
                LOG_TRACE << "Calling key:" << QString(text.at(0));
                call->sendDTMF(text.at(0));
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void NumberEdit::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
