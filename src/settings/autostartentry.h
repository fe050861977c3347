#pragma once

#include <QString>

// Starting with the desktop session: an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/<name>.desktop) whose Exec line runs this program.
class AutostartEntry
{
public:
    // "Tellmarsh Talkvane" -> "tellmarsh-talkvane.desktop".
    static QString fileNameFor(const QString &applicationName);
    // The entry of the running program (application name and executable path).
    static QString filePath();

    // Writes the entry (when enabled) or removes it (when not). True when the file system now
    // matches; failures are logged only.
    static bool apply(bool enabled);
    static bool apply(
        bool enabled, const QString &path, const QString &applicationName, const QString &executable);

    static QString desktopEntry(const QString &applicationName, const QString &executable);
    // Quotes one Exec argument as the desktop entry format requires.
    static QString quoteExecArgument(const QString &argument);
};
