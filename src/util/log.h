#pragma once

#include <QDebug>
#include <QString>

#include <optional>

// Log-line prefixes. Every line names the function, the source file (relative to the project root,
// with backslashes) and the line that wrote it:
//
//     LOG_TRACE << "loading databases for settings and history";
//
// The compiler is told to strip the project root from __FILE__ (-fmacro-prefix-map), so __FILE__
// is already relative here.
namespace logprefix {

// "void Foo::bar(int) const" -> "Foo::bar"; "int main(int, char**)" -> "main".
QString functionName(const char *prettyFunction);
// "src/util/dbstore.cpp" -> "src\util\dbstore.cpp"
QString sourcePath(const char *file);
QString format(const char *pattern, const char *prettyFunction, const char *file, int line);

// One log line. The items are streamed into a string-backed QDebug, which keeps the blank after the
// last item (a message-backed QDebug drops it), and the finished line goes out through the message
// handler when the object dies at the end of the statement.
//
// The prefix is written in double quotes as it is, so its path keeps single backslashes. Later
// string items get QDebug's escaping, so that a line feed inside a value cannot fake a log line.
class LogLine
{
public:
    LogLine(QtMsgType type, const char *file, int line, const char *function, const QString &prefix);
    ~LogLine();
    LogLine(const LogLine &) = delete;
    LogLine &operator=(const LogLine &) = delete;

    QDebug &stream() { return *debug; }

private:
    QtMsgType type;
    const char *file;
    int line;
    const char *function;
    QString text;
    std::optional<QDebug> debug;
};

} // namespace logprefix

#define TALKVANE_LOG_PREFIX(pattern) logprefix::format(pattern, __PRETTY_FUNCTION__, __FILE__, __LINE__)
#define TALKVANE_LOG_LINE(type, pattern)                                                                     \
    logprefix::LogLine(type, __FILE__, __LINE__, Q_FUNC_INFO, TALKVANE_LOG_PREFIX(pattern)).stream()

#define LOG_TRACE TALKVANE_LOG_LINE(QtDebugMsg, "[TRACE]: %1@%2:%3:")
#define LOG_WARNING TALKVANE_LOG_LINE(QtDebugMsg, "[WARNING]: %1@%2:%3:")
#define LOG_ERROR TALKVANE_LOG_LINE(QtDebugMsg, "[ERROR]: %1@%2:%3:")
#define LOG_NOTIMPL TALKVANE_LOG_LINE(QtWarningMsg, "NOTIMPL: %1@%2:%3:")
