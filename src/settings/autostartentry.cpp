#include "autostartentry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "util/log.h"

QString AutostartEntry::fileNameFor(const QString &applicationName)
{
    QString base = applicationName.toLower();
    for (QChar &c : base) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('_'))
            c = QLatin1Char('-');
    }
    if (base.isEmpty())
        base = QStringLiteral("talkvane");
    return base + QStringLiteral(".desktop");
}

QString AutostartEntry::filePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(
        QStringLiteral("autostart/") + fileNameFor(QCoreApplication::applicationName()));
}

bool AutostartEntry::apply(bool enabled)
{
    return apply(
        enabled, filePath(), QCoreApplication::applicationName(), QCoreApplication::applicationFilePath());
}

bool AutostartEntry::apply(
    bool enabled, const QString &path, const QString &applicationName, const QString &executable)
{
    if (!enabled) {
        if (!QFileInfo::exists(path))
            return true;
        if (QFile::remove(path)) {
            LOG_TRACE << "Removed the autostart entry" << path;
            return true;
        }
        LOG_WARNING << "Could not remove the autostart entry" << path;
        return false;
    }

    const QByteArray content = desktopEntry(applicationName, executable).toUtf8();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return true;
    existing.close();

    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        LOG_WARNING << "Could not create the autostart folder for" << path;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        LOG_WARNING << "Could not write the autostart entry" << path << file.errorString();
        return false;
    }
    LOG_TRACE << "Wrote the autostart entry" << path;
    return true;
}

QString AutostartEntry::desktopEntry(const QString &applicationName, const QString &executable)
{
    QString name = applicationName;
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=%1\n"
                          "Exec=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(name, quoteExecArgument(executable));
}

QString AutostartEntry::quoteExecArgument(const QString &argument)
{
    // Inside the double quotes, ", `, $ and \ take a backslash; % is doubled as a field code would be.
    // Then the string-value escaping of the file doubles every backslash again.
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
