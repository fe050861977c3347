// Prints how long loading the country table takes and how fast numbers are resolved to prefixes.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include "prefixprovider.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const int loads = 20;
    QElapsedTimer timer;
    timer.start();
    int countries = 0;
    for (int i = 0; i < loads; ++i)
        countries = PrefixProvider().count();
    out << "load table (" << countries << " countries): " << double(timer.nsecsElapsed()) / loads / 1e6
        << " ms per load\n";

    PrefixProvider provider;
    const QStringList numbers { QStringLiteral("+442079460000"), QStringLiteral("0014165550100"),
        QStringLiteral("+1-212-555-0100"), QStringLiteral("011263771234567"), QStringLiteral("+8081234") };
    const int rounds = 20000;
    int found = 0;
    timer.restart();
    for (int i = 0; i < rounds; ++i) {
        for (const QString &number : numbers)
            found += provider.prefixOf(number).isEmpty() ? 0 : 1;
    }
    const double perCall = double(timer.nsecsElapsed()) / (rounds * numbers.size()) / 1e3;
    out << "prefixOf: " << perCall << " us per number (" << found << " found)\n";
    return 0;
}
