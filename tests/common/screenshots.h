#pragma once

#include <QDir>
#include <QTest>
#include <QWidget>

// With TALKVANE_SCREENSHOT_DIR set (tools/screenshots.sh sets it), saves a picture of a widget there,
// so that the screens can be looked at as a user sees them. Without it, does nothing.
inline void saveScreenshot(QWidget *widget, const QString &name)
{
    const QString dir = qEnvironmentVariable("TALKVANE_SCREENSHOT_DIR");
    if (dir.isEmpty() || !widget)
        return;
    QWidget *window = widget->window();
    if (!window->isVisible()) {
        window->show();
        // A window that never shows is still grabbed: the picture then shows what went wrong.
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("saveScreenshot: %s was not exposed", qPrintable(name));
    }
    // Let animations, style polish and pending layouts settle first.
    QTest::qWait(400);
    QDir().mkpath(dir);
    window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
