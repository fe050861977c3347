#pragma once

#include <memory>
#include <vector>

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

class CountryDesc;
class QListWidgetItem;
class QTextStream;

// The table of countries with their calling prefixes and flags, read once from the compiled-in
// country table. Countries keep the order of their first line in the table.
class PrefixProvider : public QObject
{
    Q_OBJECT

public:
    static const QString defaultTablePath;

    explicit PrefixProvider(QObject *parent = nullptr);
    // Reads another table in the same format (tests, tools).
    explicit PrefixProvider(const QString &tablePath, QObject *parent = nullptr);
    ~PrefixProvider() override;

    int count() const;
    const CountryDesc *country(int index) const;

    // A new picker item for every country, in table order; the caller owns them.
    QList<QListWidgetItem *> countryItems() const;

    int indexOfPrefix(const QString &prefix) const;
    QString prefixOf(const QString &number) const;
    QPixmap flagForNumber(const QString &number) const;
    // Empty for an index outside 1 .. count() - 1: the first country never reformats a number.
    QStringList countryPrefixes(int index) const;

    static QStringList prefixesOfItem(const QListWidgetItem *item);
    static QPixmap flagOfItem(const QListWidgetItem *item);
    static QString nameOfItem(const QListWidgetItem *item);

    // The digits a calling prefix is looked up in: no blanks, dashes, leading "+", North American
    // international access code "011" or other leading zeros.
    static QString withoutDialPrefix(const QString &number);

private:
    void load(const QString &tablePath);
    void addEntry(const QString &line, int lineNumber);
    CountryDesc *findByName(const QString &name) const;

    std::vector<std::unique_ptr<CountryDesc>> m_countries;
};
