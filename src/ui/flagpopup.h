#pragma once

#include <QModelIndex>
#include <QPixmap>
#include <QWidget>

class PrefixProvider;
class QListWidget;

// The country picker under the number field's flag button: one row per country with its flag.
class FlagPopup : public QWidget
{
    Q_OBJECT
public:
    explicit FlagPopup(const PrefixProvider *prefixes, QWidget *parent = nullptr);

    QPixmap currentFlag();
    QString currentName();
    int currentRow();
    void selectCountry(int row);
    QListWidget *listWidget() const { return list; }

public slots:
    void onClosePicker();
    void onPrefixSelected(const QModelIndex &index, bool byClick = true);

signals:
    void closed();
    void prefixSelected(QPixmap flag, QString country, QString prefixNumber, bool byClick);
    void formatNumber(int index);

protected:
    bool event(QEvent *event) override;

private:
    void ensureCurrent();

    QListWidget *list;
};
