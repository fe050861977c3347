// Shows one address-book screen with the program's fonts and style sheet, filled with sample
// contacts, for screenshots: contactscreens_show list|tree|details|addcontact|editcontact|addgroup|editgroup
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "contactmanager.h"
#include "ui/addeditcontactdialog.h"
#include "ui/addeditgroupdialog.h"
#include "ui/contactdetailspage.h"
#include "ui/contactlistpage.h"
#include "ui/phonenumberwidget.h"
#include "contactscreenstesting.h"

using namespace contactscreenstesting;

namespace {

void loadLook(QApplication &app)
{
    QFile index(QStringLiteral(":/fonts/index.txt"));
    if (index.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QString &line : QString::fromUtf8(index.readAll()).split(QLatin1Char('\n'))) {
            QFile font(line.trimmed());
            if (!line.trimmed().isEmpty() && font.open(QIODevice::ReadOnly))
                QFontDatabase::addApplicationFontFromData(font.readAll());
        }
    }
    QString sheet;
    for (const char *name : { ":/css/common-stylesheet.css", ":/css/stylesheet.css" }) {
        QFile file(QString::fromLatin1(name));
        if (file.open(QIODevice::ReadOnly))
            sheet += QString::fromUtf8(file.readAll());
    }
    app.setStyleSheet(sheet);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    loadLook(app);
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tree");

    ContactManager book;
    book.loadGroups({ Group(QStringLiteral("Climbing")) });
    Contact ada = contact("ada", "Work", "Ada", "Lovelace",
        { "442079460000", "442079460001", "447700900000" }, { "ada@example.org" });
    ada.setAddressLine1(QStringLiteral("12 St James's Square, London"));
    QList<PhoneNumber> phones = ada.phones();
    phones[1].setType(PhoneNumber::Work);
    phones[2].setType(PhoneNumber::Cell);
    ada.setPhones(phones);
    book.loadContacts({ ada, contact("alan", "Work", "Alan", "Turing", { "441619460000" }),
        contact("rene", "Friends", "René", "Müller", { "4915112345671" }, { "rene@example.org" }),
        contact("grace", "Climbing", "Grace", "Brewster Murray Hopper", { "12025550100" }) });

    QWidget *shown = nullptr;
    if (what == QLatin1String("list") || what == QLatin1String("tree") || what == QLatin1String("search")) {
        auto *page = new ContactListPage;
        page->setGroups(book.groupList());
        page->setShowGroups(what != QLatin1String("list"));
        if (what == QLatin1String("search"))
            page->findChild<QLineEdit *>(QStringLiteral("searchLineEdit"))->setText(QStringLiteral("a"));
        QObject::connect(
            &book, &ContactManager::refreshContactListUI, page, [&]() { page->setGroups(book.groupList()); });
        page->resize(316, 460);
        shown = page;
    } else if (what == QLatin1String("details")) {
        auto *page = new ContactDetailsPage;
        page->setObjectName(QStringLiteral("contactDetailsPage"));
        page->setContactManager(&book);
        page->showContact(QStringLiteral("ada"));
        page->resize(316, 460);
        shown = page;
    } else if (what == QLatin1String("addcontact") || what == QLatin1String("editcontact")
        || what == QLatin1String("invalid")) {
        auto *dialog = new AddEditContactDialog;
        dialog->setContactManager(&book);
        dialog->setAddContact(book.groupList());
        if (what == QLatin1String("editcontact"))
            dialog->setEditContact(QStringLiteral("ada"));
        if (what == QLatin1String("invalid")) {
            emit dialog->phoneRow(0)->addClicked();
            dialog->phoneRow(0)->setText(QStringLiteral("12"));
            dialog->findChild<QLineEdit *>(QStringLiteral("emailLineEdit"))
                ->setText(QStringLiteral("grace@navy"));
            QTimer::singleShot(300, dialog, [dialog]() {
                dialog->findChild<QPushButton *>(QStringLiteral("addSaveContactButton"))->click();
            });
        }
        shown = dialog;
    } else {
        auto *dialog = new AddEditGroupDialog;
        dialog->setContactManager(&book);
        if (what == QLatin1String("editgroup")) {
            dialog->setEditGroup(QStringLiteral("Climbing"));
            dialog->showExpanded(true);
        }
        shown = dialog;
    }
    shown->setWindowTitle(QStringLiteral("shot"));
    shown->show();
    return app.exec();
}
