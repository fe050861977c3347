// Loads a large address book into the manager and the contact models, and times a search keystroke
// through both proxies. Prints the figures; exits non-zero only when something is wrong, not when slow.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "contactmanager.h"
#include "largebook.h"
#include "contactslistmodel.h"
#include "contactssearchproxymodel.h"
#include "contactstreemodel.h"
#include "contactstreesortfilterproxymodel.h"
#include "rest/contact.h"
#include "rest/group.h"

namespace {

using largebook::contactCount;
using largebook::groupCount;
using largebook::makeContacts;
using largebook::makeGroups;
const int runs = 7;

// The contact list page's wiring: the tree model and the flat list follow the book on every refresh.
struct Page
{
    ContactsTreeModel tree;
    ContactsListModel list;
    ContactsTreeSortFilterProxyModel treeProxy;
    ContactsSearchProxyModel listProxy;

    explicit Page(ContactManager &book)
    {
        treeProxy.setSourceModel(&tree);
        listProxy.setSourceModel(&list);
        list.setSourceModel(&tree);
        QObject::connect(&book, &ContactManager::refreshContactListUI, &tree, [this, &book]() {
            tree.setGroups(book.groupList());
            list.setSourceModel(&tree);
        });
    }

    void search(const QString &text)
    {
        treeProxy.setSearchText(text);
        listProxy.setSearchText(text);
    }

    // What the views read after a keystroke: every visible group and, expanded as the search leaves
    // them, its visible contacts; the first screenful of the flat list.
    int touchVisibleRows()
    {
        int rows = 0;
        for (int g = 0; g < treeProxy.rowCount(); ++g) {
            const QModelIndex group = treeProxy.index(g, 0);
            rows += 1 + treeProxy.rowCount(group);
        }
        for (int r = 0; r < std::min(listProxy.rowCount(), 40); ++r)
            rows += listProxy.index(r, 0).data().toString().isEmpty() ? 0 : 1;
        return rows;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QList<Group> groups = makeGroups();
    const QList<Contact> contacts = makeContacts(groups);

    std::vector<double> loadTimes;
    std::vector<double> reloadTimes;
    for (int run = 0; run < runs; ++run) {
        ContactManager book;
        Page page(book);
        QElapsedTimer timer;
        timer.start();
        book.loadGroups(groups);
        book.loadContacts(contacts);
        loadTimes.push_back(msSince(timer));
        if (book.contactCount() != contactCount || page.list.rowCount() != contactCount
            || page.tree.rowCount() != groupCount) {
            out << "wrong book: " << book.contactCount() << " contacts, " << page.tree.rowCount()
                << " groups\n";
            return 1;
        }
        timer.restart();
        book.loadContacts(contacts);
        reloadTimes.push_back(msSince(timer));
    }

    ContactManager book;
    Page page(book);
    book.loadGroups(groups);
    book.loadContacts(contacts);
    const QStringList keystrokes
        = { "a", "an", "ann", "ann1", "ann", "an", "a", "", "l", "le", "lee", "", "zz", "" };
    std::vector<double> keystrokeTimes;
    std::vector<double> keystrokeAndReadTimes;
    for (int run = 0; run < runs; ++run) {
        for (const QString &text : keystrokes) {
            QElapsedTimer timer;
            timer.start();
            page.search(text);
            keystrokeTimes.push_back(msSince(timer));
            page.touchVisibleRows();
            keystrokeAndReadTimes.push_back(msSince(timer));
        }
    }
    std::vector<double> treeTimes;
    std::vector<double> listTimes;
    for (int run = 0; run < runs; ++run) {
        for (const QString &text : keystrokes) {
            QElapsedTimer timer;
            timer.start();
            page.treeProxy.setSearchText(text);
            treeTimes.push_back(msSince(timer));
            timer.restart();
            page.listProxy.setSearchText(text);
            listTimes.push_back(msSince(timer));
            page.touchVisibleRows();
        }
    }
    page.search(QStringLiteral("ann1"));
    const int matches = page.listProxy.rowCount();

    QElapsedTimer lookupTimer;
    lookupTimer.start();
    int found = 0;
    for (int i = 0; i < 1000; ++i)
        found += book.findContactByNumber(QStringLiteral("+49 301 %1 0").arg(i * 7, 6, 10, QLatin1Char('0')))
            ? 1
            : 0;
    const double lookupMs = msSince(lookupTimer);

    out << "address book: " << contactCount << " contacts in " << groupCount << " groups\n";
    out << "load into manager and models (median of " << runs
        << "): " << QString::number(median(loadTimes), 'f', 1) << " ms (target < 100 ms)\n";
    out << "reload of the same list on a populated book: " << QString::number(median(reloadTimes), 'f', 1)
        << " ms\n";
    out << "search keystroke through both proxies (median of " << keystrokeTimes.size()
        << "): " << QString::number(median(keystrokeTimes), 'f', 2) << " ms, worst "
        << QString::number(*std::max_element(keystrokeTimes.begin(), keystrokeTimes.end()), 'f', 2)
        << " ms (one frame is 16 ms)\n";
    out << "keystroke plus reading the visible rows: "
        << QString::number(median(keystrokeAndReadTimes), 'f', 2) << " ms, worst "
        << QString::number(
               *std::max_element(keystrokeAndReadTimes.begin(), keystrokeAndReadTimes.end()), 'f', 2)
        << " ms\n";
    out << "  of which the tree proxy: " << QString::number(median(treeTimes), 'f', 2)
        << " ms, the list proxy: " << QString::number(median(listTimes), 'f', 2) << " ms\n";
    out << "\"ann1\" matches " << matches << " contacts\n";
    out << "1000 number lookups (" << found
        << " found, first builds the index): " << QString::number(lookupMs, 'f', 2) << " ms\n";
    return 0;
}
