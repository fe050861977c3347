// Shows one of the settings dialogs with the program's fonts and style sheet and the fake engine's
// devices, for screenshots (tools/screenshot.sh):
//   showdialogs general|audio|hotkeys|capture|proxy|proxy-error|welcome|welcome-tested
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QStandardPaths>
#include <QTimer>

#include "fakeengine.h"
#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "ui/proxysettingsdialog.h"
#include "ui/settingsdialog.h"
#include "ui/shortcutbutton.h"
#include "ui/welcomedialog.h"
#include "ui_settingsdialogcontent.h"
#include "ui_welcomedialog.h"
#include "util/dbstore.h"

namespace {

void loadLook(QApplication &app)
{
    QFile index(QStringLiteral(":/fonts/index.txt"));
    if (index.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray &line : index.readAll().split('\n')) {
            QFile font(QString::fromUtf8(line.trimmed()));
            if (font.open(QIODevice::ReadOnly))
                QFontDatabase::addApplicationFontFromData(font.readAll());
        }
    }
    QString sheet;
    for (const char *name : { ":/css/common-stylesheet.css", ":/css/stylesheet.css" }) {
        QFile css(QString::fromLatin1(name));
        if (css.open(QIODevice::ReadOnly))
            sheet += QString::fromUtf8(css.readAll());
    }
    app.setStyleSheet(sheet);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    loadLook(app);
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("general");

    QTemporaryDir dir;
    DbStore store;
    store.setDataFolder(dir.path());
    store.loadDatabases();
    Settings settings(&store);
    talk::VeskTalk talk(QStringLiteral(FAKE_ENGINE_LIBRARY));
    fake::MediaEngine &engine = fake::session()->media;
    engine.microphones
        = { { "mic-a", "Built-in Audio Analog Stereo" }, { "mic-b", "USB Headset Microphone" } };
    engine.speakers = { { "spk-a", "Built-in Audio Analog Stereo" }, { "spk-b", "HDMI / DisplayPort" },
        { "spk-c", "HDMI / DisplayPort" }, { "spk-d", "USB Headset" } };
    engine.currentMicrophone = "mic-a";
    engine.currentSpeaker = "spk-a";

    std::unique_ptr<QDialog> dialog;
    if (what == QLatin1String("proxy") || what == QLatin1String("proxy-error")) {
        auto *proxy = new ProxySettingsDialog;
        proxy->setProxySettings(talk::ProxySettings(1, QStringLiteral("proxy.example.com"), 3128, true,
            QStringLiteral("ann"), QStringLiteral("secret")));
        if (what == QLatin1String("proxy-error"))
            proxy->setError(QStringLiteral("The proxy settings you entered are not valid."));
        dialog.reset(proxy);
    } else if (what.startsWith(QLatin1String("welcome"))) {
        auto *welcome = new WelcomeDialog(talk.mediaEngine(), &settings);
        if (what == QLatin1String("welcome-tested")) {
            welcome->form()->speakerStackedWidget->setCurrentIndex(WelcomeDialog::SuggestionPage);
            QTimer::singleShot(300, welcome, [welcome] { welcome->form()->speakerNoButton->click(); });
        }
        dialog.reset(welcome);
    } else {
        auto *preferences = new SettingsDialog(&talk, &settings);
        Ui::SettingsDialogContent *ui = preferences->form();
        if (what == QLatin1String("audio"))
            ui->audioSettingsButton->click();
        if (what == QLatin1String("hotkeys") || what == QLatin1String("capture"))
            ui->hotKeysButton->click();
        if (what == QLatin1String("capture")) {
            QTimer::singleShot(300, preferences, [ui] {
                ui->increaseMicVolShortcutButton->button()->click();
                QTest::keyPress(ui->increaseMicVolShortcutButton->lineEdit(), Qt::Key_Control);
                QTest::keyPress(
                    ui->increaseMicVolShortcutButton->lineEdit(), Qt::Key_Shift, Qt::ControlModifier);
            });
        }
        dialog.reset(preferences);
    }
    dialog->move(40, 40);
    dialog->show();
    if (qEnvironmentVariableIsSet("SHOW_SIZES"))
        qInfo() << "size" << dialog->size() << "minimum" << dialog->minimumSize() << "hint"
                << dialog->sizeHint() << "minimumHint" << dialog->minimumSizeHint();
    return app.exec();
}
