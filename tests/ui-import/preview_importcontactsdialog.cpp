// Shows the import wizard at one of its steps, styled as in the program, with sample entries, so that
// it can be photographed under Xvfb:
//   tools/screenshot.sh -w "Import contacts" -- preview_importcontactsdialog [providers|login|import|invite|done]
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "contactmanager.h"
#include "ui/importcontactsdialog.h"

namespace {

QString styleSheet()
{
    QString sheet;
    for (const char *name : { ":/css/common-stylesheet.css", ":/css/stylesheet.css" }) {
        QFile file { QString::fromLatin1(name) };
        if (file.open(QIODevice::ReadOnly))
            sheet += QString::fromUtf8(file.readAll());
    }
    return sheet;
}

const QByteArray sampleCards = "BEGIN:VCARD\nVERSION:3.0\nN:Lovelace;Ada;;;\nTEL:+44 20 7946 0811\n"
                               "EMAIL:ada@engine.example\nEND:VCARD\n"
                               "BEGIN:VCARD\nVERSION:3.0\nN:Turing;Alan;;;\nTEL:+44 161 496 0722\n"
                               "EMAIL:alan@bletchley.example\nEND:VCARD\n"
                               "BEGIN:VCARD\nVERSION:3.0\nN:Hopper;Grace;;;\nTEL:+1 202 555 0177\n"
                               "TEL:+1 202 555 0178\nEND:VCARD\n"
                               "BEGIN:VCARD\nVERSION:3.0\nTEL:+31 20 555 0101\nEND:VCARD\n";

} // namespace

int main(int argc, char **argv)
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Talkvane"));
    QStandardPaths::setTestModeEnabled(true);
    app.setStyleSheet(styleSheet());
    const QString step = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("providers");

    ContactManager book;
    book.ensureDefaultGroupsPresent();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.vcf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(sampleCards) != sampleCards.size())
        return 1;
    file.close();

    ImportContactsDialog dialog;
    dialog.setContactManager(&book);
    dialog.setWarningHandler([](const QString &, const QString &) {});
    dialog.setFileChooser([path]() { return path; });
    auto click = [&dialog](const char *name) { dialog.findChild<QPushButton *>(QLatin1String(name))->click(); };

    if (step == QLatin1String("login")) {
        click("importGmailButton");
        dialog.findChild<QLineEdit *>(QStringLiteral("serviceLoginLineEdit"))->setText(QStringLiteral("ana.lima"));
    } else if (step != QLatin1String("providers")) {
        click("importVCardButton");
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("contactsWidget"));
        list->item(1)->setCheckState(Qt::Checked);
        if (step == QLatin1String("import")) {
            click("addGroupButton");
            dialog.findChild<QLineEdit *>(QStringLiteral("addGroupLineEdit"))->setText(QStringLiteral("Imported"));
        } else {
            list->item(2)->setCheckState(Qt::Checked);
            click("importButton");
            if (step == QLatin1String("done")) {
                click("skipButton");
            } else {
                dialog.findChild<QLineEdit *>(QStringLiteral("senderNameLineEdit"))->setText(QStringLiteral("Demo User"));
            }
        }
    }
    dialog.show();
    return app.exec();
}
