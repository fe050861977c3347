#include "log.h"

#include <QMessageLogger>

namespace logprefix {

QString functionName(const char *prettyFunction)
{
    QString name = QString::fromLatin1(prettyFunction);
    // Drop the parameter list: the first '(' that is not part of "operator()".
    int paren = name.indexOf(QLatin1String("operator()"));
    paren = name.indexOf(QLatin1Char('('), paren >= 0 ? paren + 10 : 0);
    if (paren >= 0)
        name.truncate(paren);
    // Drop the return type: everything up to the last blank outside template brackets.
    int depth = 0;
    for (int i = name.size() - 1; i >= 0; --i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('>'))
            ++depth;
        else if (c == QLatin1Char('<'))
            --depth;
        else if ((c == QLatin1Char(' ') || c == QLatin1Char('*') || c == QLatin1Char('&')) && depth == 0)
            return name.mid(i + 1);
    }
    return name;
}

QString sourcePath(const char *file)
{
    QString path = QString::fromLatin1(file);
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path;
}

QString format(const char *pattern, const char *prettyFunction, const char *file, int line)
{
    return QString::fromLatin1(pattern).arg(functionName(prettyFunction), sourcePath(file)).arg(line, 0, 10);
}

LogLine::LogLine(QtMsgType type, const char *file, int line, const char *function, const QString &prefix)
    : type(type), file(file), line(line), function(function)
{
    debug.emplace(&text);
    debug->noquote() << QLatin1Char('"') + prefix + QLatin1Char('"');
    debug->quote();
}

LogLine::~LogLine()
{
    debug.reset();
    const QMessageLogger logger(file, line, function);
    const QByteArray utf8 = text.toUtf8();
    switch (type) {
    case QtDebugMsg:
        logger.debug("%s", utf8.constData());
        break;
    case QtInfoMsg:
        logger.info("%s", utf8.constData());
        break;
    case QtWarningMsg:
        logger.warning("%s", utf8.constData());
        break;
    case QtCriticalMsg:
    case QtFatalMsg:
        logger.critical("%s", utf8.constData());
        break;
    }
}

} // namespace logprefix
