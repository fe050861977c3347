// Renders SVG files to PNG at an exact pixel size.
//
// Reads lines "input.svg output.png width height" from standard input. The project's own
// fonts are registered first so that text in the artwork renders the same on every machine.
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 1) {
        QDir fonts(args.at(1));
        for (const QString &name : fonts.entryList({ "*.ttf" }, QDir::Files))
            QFontDatabase::addApplicationFont(fonts.filePath(name));
    }

    QTextStream in(stdin);
    int failures = 0;
    QString line;
    while (in.readLineInto(&line)) {
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        if (f.size() != 4)
            continue;
        QSvgRenderer svg(f.at(0));
        if (!svg.isValid()) {
            std::fprintf(stderr, "invalid svg: %s\n", qPrintable(f.at(0)));
            ++failures;
            continue;
        }
        QImage image(f.at(2).toInt(), f.at(3).toInt(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHints(
            QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        svg.render(&painter, QRectF(QPointF(0, 0), image.size()));
        painter.end();
        QDir().mkpath(QFileInfo(f.at(1)).path());
        if (!image.convertToFormat(QImage::Format_ARGB32).save(f.at(1), "PNG", 9)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.at(1)));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
