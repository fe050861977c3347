#pragma once

#include <QDebug>
#include <QString>

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

} // namespace logprefix

#define TALKVANE_LOG_PREFIX(pattern) logprefix::format(pattern, __PRETTY_FUNCTION__, __FILE__, __LINE__)

#define LOG_TRACE qDebug() << TALKVANE_LOG_PREFIX("[TRACE]: %1@%2:%3:")
#define LOG_WARNING qDebug() << TALKVANE_LOG_PREFIX("[WARNING]: %1@%2:%3:")
#define LOG_ERROR qDebug() << TALKVANE_LOG_PREFIX("[ERROR]: %1@%2:%3:")
#define LOG_NOTIMPL qWarning() << TALKVANE_LOG_PREFIX("NOTIMPL: %1@%2:%3:")
