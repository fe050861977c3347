#pragma once

#include <QSortFilterProxyModel>
#include <QString>

// The search filter of the contact views, and the flat list's proxy: the rows whose display text
// contains the search text, ignoring case, in the book's order (no sorting). The tree's proxy builds
// on it with its rule for group rows.
//
// A new search text re-filters the whole model as one layout change. QSortFilterProxyModel's own
// filter setters update the rows run by run instead, with a removal or insertion and a pass over the
// row mapping for each run of rows that changed, and every view re-arranges its rows for each; a
// letter typed over 10,000 contacts with scattered matches makes thousands of runs. The layout change
// tests every row once and keeps the selected, current and expanded rows that still match.
//
// The ordinary filter (setFilterFixedString and the like) still applies on top of the search text.
class ContactsSearchProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ContactsSearchProxyModel(QObject *parent = nullptr);

    QString searchText() const { return search; }
    // Shows only the rows that contain text; an empty text shows every row. The same text again
    // changes nothing.
    void setSearchText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    // Neither a search text nor an ordinary filter is set.
    bool filterIsEmpty() const;

private:
    QString search;
};
