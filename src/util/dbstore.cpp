#include "dbstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include "util/log.h"

namespace {

// SQLite's result codes for a damaged file and for a file that is no database at all.
const QString sqliteCorrupt = QStringLiteral("11");
const QString sqliteNotADatabase = QStringLiteral("26");

// Values are stored as text ("true"/"false" for booleans, decimal text for numbers), as the default
// rows of the schema are; binding a bool directly would store 1/0.
QVariant storedForm(const QVariant &value)
{
    if (value.isNull() || value.userType() == QMetaType::QByteArray || !value.canConvert<QString>())
        return value;
    return value.toString();
}

// Queries never reopen a connection behind the store's back (a default-constructed QSqlQuery would).
QSqlQuery newQuery()
{
    return QSqlQuery(QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false));
}

} // namespace

DbStore::DbStore(QObject *parent) : QObject(parent) { }

DbStore::~DbStore() = default;

QString DbStore::dataFolder() const
{
    if (!customFolder.isEmpty())
        return customFolder;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString DbStore::databasePath() const
{
    return QDir(dataFolder()).filePath(databaseFileName());
}

void DbStore::loadDatabases()
{
    LOG_TRACE << "called load databases" << openCounter;
    if (!opened) {
        LOG_TRACE << "loading databases...";
        const QString folder = dataFolder();
        if (!QDir(folder).mkpath(QStringLiteral(".")))
            LOG_ERROR << "Could not create the data folder:" << folder;
        const QString path = databasePath();
        LOG_TRACE << path;
        if (!openConnection(path))
            return;

        QString error;
        if (!isUsable(&error) && (error == sqliteCorrupt || error == sqliteNotADatabase)) {
            if (!quarantineCorruptFile(path) || !openConnection(path))
                return;
        }
        if (!runSchema())
            return;
        opened = true;
        closed = false;
    }
    ++openCounter;
}

void DbStore::closeDatabases()
{
    LOG_TRACE << "called close databases" << openCounter;
    if (!closed && openCounter == 1) {
        LOG_TRACE << "closing databases...";
        {
            QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
            db.close();
        }
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
        opened = false;
        closed = true;
    }
    --openCounter;
}

bool DbStore::openConnection(const QString &path)
{
    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.close();
    db.setDatabaseName(path);
    if (!db.open()) {
        LOG_ERROR << "Could not open the database" << path << ":" << db.lastError().text()
                  << "; settings fall back to their defaults";
        return false;
    }
    return true;
}

bool DbStore::isUsable(QString *nativeError) const
{
    QSqlQuery query = newQuery();
    if (query.exec(QStringLiteral("select count(*) from sqlite_master")))
        return true;
    *nativeError = query.lastError().nativeErrorCode();
    LOG_ERROR << "The database cannot be read:" << query.lastError().text() << "code" << *nativeError;
    return false;
}

bool DbStore::quarantineCorruptFile(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
        db.close();
    }
    const QString aside = path + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
    if (!QFile::rename(path, aside)) {
        LOG_ERROR << "Could not move the damaged database aside to" << aside
                  << "; settings fall back to their defaults";
        return false;
    }
    LOG_ERROR << "The damaged database was moved aside to" << aside << "; starting with a fresh one";
    return true;
}

bool DbStore::runSchema()
{
    QFile script(schemaResource());
    if (!script.open(QIODevice::ReadOnly)) {
        LOG_ERROR << "Could not open the schema" << schemaResource();
        return false;
    }
    const QString text = QString::fromUtf8(script.readAll());
    // One transaction for the whole script: one disk sync instead of one per statement.
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    const bool inTransaction = db.transaction();
    QSqlQuery query = newQuery();
    const QStringList statements = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : statements) {
        const QString statement = part.trimmed();
        if (statement.isEmpty())
            continue;
        // A failing statement does not stop the others; it is only logged.
        if (!query.prepare(statement) || !query.exec())
            LOG_WARNING << "Schema statement failed:" << statement << query.lastError().text();
    }
    query.finish();
    if (inTransaction && !db.commit())
        LOG_ERROR << "Could not commit the schema:" << db.lastError().text();
    return true;
}

void DbStore::setValue(const QString &table, const QString &key, const QVariant &value)
{
    QSqlQuery query = newQuery();
    if (!query.prepare(QStringLiteral("insert or replace into ") + table
            + QStringLiteral(" (name, value) values (:key, :value)")))
        LOG_WARNING << "Assert will fail for table:" << table << " and key:" << key;
    query.bindValue(QStringLiteral(":key"), key);
    query.bindValue(QStringLiteral(":value"), storedForm(value));
    if (!query.exec())
        LOG_WARNING << "Assert will fail for table:" << table << " and key:" << key;
}

QVariant DbStore::value(const QString &table, const QString &key, const QVariant &defaultValue) const
{
    QSqlQuery query = newQuery();
    if (!query.prepare(QStringLiteral("select value from ") + table + QStringLiteral(" where name = :key")))
        LOG_WARNING << "Assert will fail for table:" << table << " and key:" << key;
    query.bindValue(QStringLiteral(":key"), key);
    if (!query.exec())
        LOG_WARNING << "Assert will fail for table:" << table << " and key:" << key;
    if (query.isActive() && query.next())
        return query.value(0);
    return defaultValue;
}

void DbStore::removeValue(const QString &table, const QString &key)
{
    QSqlQuery query = newQuery();
    if (!query.prepare(QStringLiteral("delete from ") + table + QStringLiteral(" where name = :key")))
        LOG_WARNING << "Assert will fail for table:" << table << " and key:" << key;
    query.bindValue(QStringLiteral(":key"), key);
    if (!query.exec())
        LOG_WARNING << "Assert will fail for table:" << table << " and key:" << key;
}
