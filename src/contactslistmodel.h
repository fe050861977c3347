#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QVector>

// All contacts of the tree model as one flat list, group by group in the tree's order; group rows do
// not appear. A flat index carries its group's row as internal id. The model follows its source: a
// reset or any change of the source's rows resets it too.
class ContactsListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit ContactsListModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *sourceModel);
    QAbstractItemModel *sourceModel() const { return source; }

    // The source's contact index behind a flat index, and back.
    QModelIndex mapToSource(const QModelIndex &index) const;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const;

    QModelIndex index(int row, int column = 0, const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private slots:
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void onSourceAboutToChange();
    void onSourceChanged();

private:
    void rebuildOffsets();
    // The group whose contacts hold flat row `row`; -1 when the row is out of range.
    int groupOfRow(int row) const;

    QPointer<QAbstractItemModel> source;
    QList<QMetaObject::Connection> sourceConnections;
    // starts[g]: flat row of group g's first contact; the last entry is the total.
    QVector<int> starts;
    bool resetting = false;
};
