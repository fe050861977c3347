#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// The program's one local SQLite database, "data.vk" in the per-user data folder, on Qt's default
// connection. Creates the schema and the default settings rows from the embedded script and offers
// a key/value view of any table with `name` and `value` columns.
//
// Storage failures never stop the program: they are logged, reads then return their defaults and
// writes are dropped. A file that is not a database is moved aside (kept for inspection) and a fresh
// one is created in its place.
class DbStore : public QObject
{
    Q_OBJECT
public:
    explicit DbStore(QObject *parent = nullptr);
    ~DbStore() override;

    virtual QString databaseFileName() const { return QStringLiteral("data.vk"); }
    // Folder of the database; the per-user data folder unless set otherwise (tests).
    QString dataFolder() const;
    void setDataFolder(const QString &folder) { customFolder = folder; }
    QString databasePath() const;

    void loadDatabases();
    void closeDatabases();

    // table is always one of the callers' constant table names; it is pasted into the statement.
    void setValue(const QString &table, const QString &key, const QVariant &value);
    QVariant value(const QString &table, const QString &key, const QVariant &defaultValue) const;
    void removeValue(const QString &table, const QString &key);

    int openCount() const { return openCounter; }
    bool isOpen() const { return opened; }
    bool isClosed() const { return closed; }

    static QString schemaResource() { return QStringLiteral(":/sql/zorvan_dialer.sql"); }

private:
    bool openConnection(const QString &path);
    bool runSchema();
    bool isUsable(QString *nativeError) const;
    bool quarantineCorruptFile(const QString &path);

    int openCounter = 0;
    bool opened = false;
    bool closed = false;
    QString customFolder;
};
