// Parses and serialises a contact-list reply of 10,000 contacts with JsonCodec and, side by side,
// with QJsonDocument, and prints the throughput of both.
//
//   bench_json [contacts] [rounds]

#include <algorithm>
#include <cstdio>
#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QStringList>
#include <QVariantList>

#include "rest/contact.h"
#include "rest/jsoncodec.h"

namespace {

const char *const firstNames[] = { "Anna", "Zoë", "José", "Łukasz", "Søren", "Ægir", "Dmitrij", "Дмитрий",
    "Αλέξης", "Mei", "美玲", "Ömer", "François", "Nguyễn", "Aoife", "Hans-Jürgen" };
const char *const lastNames[] = { "Berg", "Müller", "García Márquez", "Ødegård", "Kowalski", "Иванов",
    "Παπαδόπουλος", "O'Neill", "Dubois", "Wang", "王", "Yılmaz", "Trần", "Smith \"Smitty\"" };
const char *const cities[]
    = { "Oslo", "München", "São Paulo", "Kraków", "Москва", "Αθήνα", "Zürich", "東京", "İzmir" };
const char *const groups[] = { "Family", "Friends", "Work", "Général", "Клиенты" };

template <size_t N> QString pick(QRandomGenerator &random, const char *const (&items)[N])
{
    return QString::fromUtf8(items[random.bounded(int(N))]);
}

QString digits(QRandomGenerator &random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text.append(QChar('0' + random.bounded(10)));
    return text;
}

Contact makeContact(QRandomGenerator &random, int index)
{
    Contact contact;
    contact.setFirstName(pick(random, firstNames));
    contact.setLastName(pick(random, lastNames));
    contact.setNick(contact.firstName() + QString::number(index) + QStringLiteral("1718000000000"));
    contact.setGroupName(pick(random, groups));
    contact.setAddressLine1(QStringLiteral("Hauptstraße ") + QString::number(1 + random.bounded(200)));
    if (random.bounded(3) == 0)
        contact.setAddressLine2(QStringLiteral("Apt. ") + QString::number(random.bounded(90)));
    contact.setCity(pick(random, cities));
    contact.setState(QStringLiteral("ST"));
    contact.setPostalCode(digits(random, 5));
    contact.setCountry(QStringLiteral("DE"));
    contact.setEmails({ contact.firstName().toLower() + QLatin1Char('.') + QString::number(index)
        + QStringLiteral("@example.com") });
    if (random.bounded(4) == 0)
        contact.setBirthDate(
            QDate(1950 + random.bounded(55), 1 + random.bounded(12), 1 + random.bounded(28)));
    QList<PhoneNumber> phones;
    const int phoneCount = 1 + random.bounded(3);
    for (int p = 0; p < phoneCount; ++p) {
        PhoneNumber phone;
        phone.setType(random.bounded(3));
        phone.setNumber(QStringLiteral("+49") + digits(random, 10));
        phones.append(phone);
    }
    contact.setPhones(phones);
    contact.setSipUser(digits(random, 8));
    return contact;
}

// Best wall time of `rounds` runs, in seconds.
double best(int rounds, const std::function<void()> &work)
{
    double fastest = 1e30;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e9);
    }
    return fastest;
}

double megabytesPerSecond(qint64 bytes, double seconds)
{
    return bytes / 1e6 / seconds;
}

void printRow(const char *what, qint64 bytes, double ours, double qt)
{
    std::printf("%-34s %8.1f MB/s  %8.1f MB/s  %6.2fx\n", what, megabytesPerSecond(bytes, ours),
        megabytesPerSecond(bytes, qt), qt / ours);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int contactCount = args.size() > 1 ? args.at(1).toInt() : 10000;
    const int rounds = args.size() > 2 ? args.at(2).toInt() : 7;

    QRandomGenerator random(42);
    QVariantList list;
    list.reserve(contactCount);
    for (int i = 0; i < contactCount; ++i)
        list.append(makeContact(random, i).toVariant());
    const QVariant value = list;

    // The service answers in compact form; that is what the parsers get.
    const QByteArray reply = QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact);
    const QString replyText = QString::fromLatin1(reply);

    bool ok = false;
    const QVariant parsed = JsonCodec::parse(replyText, ok);
    const QVariant parsedByQt = QJsonDocument::fromJson(reply).toVariant();
    if (!ok || parsed.toList().size() != contactCount || parsedByQt.toList().size() != contactCount) {
        std::fprintf(stderr, "bench_json: the reply did not parse\n");
        return 1;
    }
    const QByteArray ourText = JsonCodec::serialize(value);
    const QByteArray qtText = QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact);

    std::printf("contacts: %d, reply: %.2f MB (compact), JsonCodec text: %.2f MB, rounds: %d (best of)\n",
        contactCount, reply.size() / 1e6, ourText.size() / 1e6, rounds);
    std::printf("%-34s %13s  %13s  %7s\n", "", "JsonCodec", "QJsonDocument", "ratio");

    const double parseOurs = best(rounds, [&] {
        bool parsedOk = false;
        const QVariant v = JsonCodec::parse(replyText, parsedOk);
        Q_UNUSED(v);
    });
    const double parseOursWithText = best(rounds, [&] {
        bool parsedOk = false;
        const QVariant v = JsonCodec::parse(QString::fromLatin1(reply), parsedOk);
        Q_UNUSED(v);
    });
    const double parseQt = best(rounds, [&] {
        const QVariant v = QJsonDocument::fromJson(reply).toVariant();
        Q_UNUSED(v);
    });
    printRow("parse (reply text -> variant)", reply.size(), parseOurs, parseQt);
    printRow("parse (reply bytes -> variant)", reply.size(), parseOursWithText, parseQt);

    const double writeOurs = best(rounds, [&] {
        const QByteArray text = JsonCodec::serialize(value);
        Q_UNUSED(text);
    });
    const double writeQt = best(rounds, [&] {
        const QByteArray text = QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact);
        Q_UNUSED(text);
    });
    // Each side is credited with the size of the text it wrote.
    std::printf("%-34s %8.1f MB/s  %8.1f MB/s  %6.2fx\n", "serialise (variant -> UTF-8)",
        megabytesPerSecond(ourText.size(), writeOurs), megabytesPerSecond(qtText.size(), writeQt),
        writeQt / writeOurs);
    std::printf("%-34s %8.1f ms     %8.1f ms     \n", "serialise time", writeOurs * 1e3, writeQt * 1e3);
    std::printf("ratio = QJsonDocument time / JsonCodec time (above 1: JsonCodec is faster)\n");
    return 0;
}
