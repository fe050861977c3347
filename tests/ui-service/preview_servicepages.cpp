// Shows the service pages side by side with sample data, styled as in the program, so that they can
// be photographed under Xvfb (tools/screenshot.sh) and looked at.
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include "application.h"
#include "history/callhistorymodel.h"
#include "prefixprovider.h"
#include "ui/callforwardpage.h"
#include "ui/callhistorypage.h"
#include "ui/createaccountdialog.h"
#include "ui/pinselectpage.h"
#include "ui/smspage.h"
#include "ui/virtualnumberspage.h"
#include "ui/voicemailmodel.h"
#include "ui/voicemailpage.h"

namespace {

QWidget *framed(QWidget *page, const QString &title, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *caption = new QLabel(title, box);
    caption->setStyleSheet(QStringLiteral("color: #78909C; font-size: 10px;"));
    layout->addWidget(caption);
    // Inside a stack of the content widget's name, so that the program's style sheet applies as it
    // does there.
    auto *stack = new QStackedWidget(box);
    stack->setObjectName(QStringLiteral("mainStackedWidget"));
    stack->setFixedSize(300, 470);
    stack->addWidget(page);
    layout->addWidget(stack);
    return box;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    Application::loadFonts();
    app.setStyleSheet(Application::loadStyleSheet());
    PrefixProvider prefixes;

    QWidget window;
    window.setWindowTitle(QStringLiteral("Service pages"));
    auto *grid = new QGridLayout(&window);

    auto *sms = new SMSPage;
    sms->setPrefixProvider(&prefixes);
    sms->setNumber(QStringLiteral("+49 151 123456"));
    grid->addWidget(framed(sms, QStringLiteral("SMS"), &window), 0, 0);

    auto *smsTyped = new SMSPage;
    smsTyped->setPrefixProvider(&prefixes);
    smsTyped->setNumber(QStringLiteral("+1 555 0100"));
    smsTyped->setText(QStringLiteral("Running late, will be there at eight. Keep a seat for me please!"));
    grid->addWidget(framed(smsTyped, QStringLiteral("SMS with text"), &window), 0, 1);

    const QDate today = QDate::currentDate();
    auto *numbers = new VirtualNumbersPage;
    numbers->setVirtualNumbers({ { QStringLiteral("+493012345678"), prefixes.flagForNumber(QStringLiteral("+4930")), today.addYears(2) },
        { QStringLiteral("+442071234567"), prefixes.flagForNumber(QStringLiteral("+4420")), today.addDays(-40) } });
    grid->addWidget(framed(numbers, QStringLiteral("Virtual numbers"), &window), 0, 2);

    auto *noNumbers = new VirtualNumbersPage;
    grid->addWidget(framed(noNumbers, QStringLiteral("No virtual numbers"), &window), 0, 3);

    const QDateTime now = QDateTime::currentDateTime();
    auto makeEvent = [&now](int type, const QString &number, const QString &name, qint64 ago, QTime duration) {
        CallHistoryEvent event;
        event.type = type;
        event.number = number;
        event.name = name;
        event.timestamp = now.addSecs(-ago);
        event.duration = duration;
        event.isTypeOne = type == CallHistoryEvent::OutgoingCall;
        return event;
    };
    auto *model = new CallHistoryModel(QList<CallHistoryEvent>({
        makeEvent(1, QStringLiteral("+15550100"), QStringLiteral("Echo test"), 120, QTime(0, 3, 12)),
        makeEvent(0, QStringLiteral("+4915112345671"), QStringLiteral("René Müller"), 3600, QTime(0, 12, 5)),
        makeEvent(2, QStringLiteral("+442071234567"), QString(), 7200, QTime()),
        makeEvent(3, QStringLiteral("+15550102"), QString(), 90000, QTime()),
        makeEvent(1, QStringLiteral("+15550101"), QStringLiteral("A very long contact nickname indeed"), 200000, QTime(1, 2, 3)),
    }), &window);
    auto *history = new CallHistoryPage;
    history->setCallHistoryModel(model);
    grid->addWidget(framed(history, QStringLiteral("Call history"), &window), 1, 0);

    auto *voicemail = new VoicemailPage;
    voicemail->model()->setEntries({ { QStringLiteral("+15550100"), now.addSecs(-600), QTime(0, 0, 42), VoicemailModel::NotPlayed },
        { QStringLiteral("+4915112345671"), now.addDays(-2), QTime(0, 1, 5), VoicemailModel::Paused } });
    voicemail->setCurrentRow(1);
    grid->addWidget(framed(voicemail, QStringLiteral("Voicemail"), &window), 1, 1);

    grid->addWidget(framed(new CallForwardPage, QStringLiteral("Call forwarding"), &window), 1, 2);

    auto *pins = new PINSelectPage;
    pins->setName(QStringLiteral("demo"));
    pins->setPINs({ QStringLiteral("52871934-01"), QStringLiteral("52871934-02") });
    grid->addWidget(framed(pins, QStringLiteral("PIN selection"), &window), 1, 3);

    window.show();
    window.move(0, 0);

    CreateAccountDialog dialog(&window);
    dialog.move(1260, 20);
    dialog.show();
    QTimer::singleShot(0, &dialog, [&dialog]() { QMetaObject::invokeMethod(&dialog, "onCreateClicked"); });
    return app.exec();
}
