#include "prefixprovider.h"

#include <QFile>
#include <QTextStream>

#include "countrydesc.h"
#include "countrydesclistwidgetitem.h"
#include "util/log.h"

namespace {

const int maxPrefixLength = 4;
const int fieldCount = 4;

bool isPrefix(const QString &text)
{
    if (text.isEmpty() || text.size() > maxPrefixLength)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

const CountryDesc *countryOfItem(const QListWidgetItem *item)
{
    const auto *countryItem = dynamic_cast<const CountryDescListWidgetItem *>(item);
    return countryItem ? countryItem->countryDesc() : nullptr;
}

} // namespace

const QString PrefixProvider::defaultTablePath = QStringLiteral(":/data/countries.txt");

PrefixProvider::PrefixProvider(QObject *parent) : PrefixProvider(defaultTablePath, parent) { }

PrefixProvider::PrefixProvider(const QString &tablePath, QObject *parent) : QObject(parent)
{
    load(tablePath);
}

PrefixProvider::~PrefixProvider() = default;

void PrefixProvider::load(const QString &tablePath)
{
    QFile file(tablePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    for (int i = 0; i < 2; ++i) {
        if (in.atEnd()) {
            LOG_WARNING << "Invalid" << tablePath << "file!, Bailing out.";
            return;
        }
        in.readLine();
    }
    int lineNumber = 0;
    while (!in.atEnd())
        addEntry(in.readLine(), ++lineNumber);
}

void PrefixProvider::addEntry(const QString &line, int lineNumber)
{
    if (line.trimmed().isEmpty())
        return;
    QStringList parts = line.split(QLatin1Char(','), Qt::KeepEmptyParts);
    if (parts.size() != fieldCount) {
        LOG_WARNING << "Ignoring country entry invalid entry with" << parts.size() << "parts" << parts
                    << "in line" << lineNumber;
        return;
    }
    for (QString &part : parts)
        part = part.trimmed();
    const QString &img = parts.at(0);
    const QString &prefix = parts.at(1);
    const QString &name = parts.at(2);
    const QString &code = parts.at(3);
    if (name.isEmpty()) {
        LOG_WARNING << "Ignoring country entry with empty name in line" << lineNumber;
        return;
    }
    // A prefix that is not 1 to 4 digits could never be recognised and would be written into the
    // number field when the country is picked.
    if (!isPrefix(prefix)) {
        LOG_WARNING << "Ignoring country entry with invalid prefix" << prefix << "in line" << lineNumber;
        return;
    }
    if (CountryDesc *known = findByName(name)) {
        known->addPrefix(prefix);
        return;
    }
    const QPixmap flag(QStringLiteral(":/gfx/flags/%1.jpg").arg(img));
    if (flag.isNull()) {
        LOG_WARNING << "Ignoring entry without flag in line" << lineNumber;
        return;
    }
    m_countries.push_back(std::make_unique<CountryDesc>(name, code, prefix, flag));
}

CountryDesc *PrefixProvider::findByName(const QString &name) const
{
    for (const auto &country : m_countries) {
        if (country->name() == name)
            return country.get();
    }
    return nullptr;
}

int PrefixProvider::count() const
{
    return int(m_countries.size());
}

const CountryDesc *PrefixProvider::country(int index) const
{
    return index >= 0 && index < count() ? m_countries[size_t(index)].get() : nullptr;
}

QList<QListWidgetItem *> PrefixProvider::countryItems() const
{
    QList<QListWidgetItem *> items;
    items.reserve(count());
    for (const auto &country : m_countries)
        items.append(new CountryDescListWidgetItem(country.get()));
    return items;
}

int PrefixProvider::indexOfPrefix(const QString &prefix) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_countries[size_t(i)]->hasPrefix(prefix))
            return i;
    }
    return -1;
}

QString PrefixProvider::withoutDialPrefix(const QString &number)
{
    QString digits = number.trimmed();
    digits.remove(QLatin1Char('-'));
    if (digits.startsWith(QLatin1Char('+')))
        digits.remove(0, 1);
    if (digits.startsWith(QLatin1String("011")))
        digits.remove(0, 3);
    int zeros = 0;
    while (zeros < digits.size() && digits.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return digits.mid(zeros);
}

QString PrefixProvider::prefixOf(const QString &number) const
{
    const QString digits = withoutDialPrefix(number);
    // Longest first: 1416 is Toronto in Canada before 1 is the USA.
    for (int length = qMin(maxPrefixLength, digits.size()); length > 0; --length) {
        const QString candidate = digits.left(length);
        if (candidate.at(0).isDigit() && indexOfPrefix(candidate) >= 0)
            return candidate;
    }
    return QString();
}

QPixmap PrefixProvider::flagForNumber(const QString &number) const
{
    const QString prefix = prefixOf(number);
    if (prefix.isEmpty())
        return QPixmap();
    return m_countries[size_t(indexOfPrefix(prefix))]->flag();
}

QStringList PrefixProvider::countryPrefixes(int index) const
{
    if (index < 1 || index >= count())
        return QStringList();
    return m_countries[size_t(index)]->prefixes();
}

QStringList PrefixProvider::prefixesOfItem(const QListWidgetItem *item)
{
    const CountryDesc *country = countryOfItem(item);
    return country ? country->prefixes() : QStringList();
}

QPixmap PrefixProvider::flagOfItem(const QListWidgetItem *item)
{
    const CountryDesc *country = countryOfItem(item);
    return country ? country->flag() : QPixmap();
}

QString PrefixProvider::nameOfItem(const QListWidgetItem *item)
{
    const CountryDesc *country = countryOfItem(item);
    return country ? country->name() : QString();
}
