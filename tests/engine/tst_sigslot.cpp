#include <QtTest>

#include <memory>
#include <vector>

#include "vesk/sigslot.h"

namespace {

int g_allocs = 0;
int g_frees = 0;

void *countingAlloc(size_t size)
{
    ++g_allocs;
    return std::malloc(size);
}

void countingFree(void *p)
{
    ++g_frees;
    std::free(p);
}

class Receiver : public sigslot::has_slots<>
{
public:
    std::vector<int> seen;
    int pings = 0;
    void onValue(int v) { seen.push_back(v); }
    void onPing() { ++pings; }
    void onThree(int a, bool b, const char *c)
    {
        seen.push_back(a);
        seen.push_back(b ? 1 : 0);
        seen.push_back(c[0]);
    }
};

class Sender
{
public:
    sigslot::signal0<> ping;
    sigslot::signal1<int> value;
    sigslot::signal3<int, bool, const char *> three;
};

// Disconnects itself, or a neighbour, from inside a slot.
class SelfRemover : public sigslot::has_slots<>
{
public:
    sigslot::signal1<int> *signal = nullptr;
    sigslot::has_slots<> *victim = nullptr;
    int calls = 0;
    void onValue(int)
    {
        ++calls;
        if (victim)
            signal->disconnect(victim);
        else
            signal->disconnect(this);
    }
};

} // namespace

class tst_Sigslot : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_allocs = g_frees = 0;
        sigslot::set_allocator(&countingAlloc, &countingFree);
    }
    void cleanup() { sigslot::set_allocator(nullptr, nullptr); }

    void emitReachesConnectedSlotsInOrder()
    {
        Sender s;
        Receiver a, b;
        s.value.connect(&a, &Receiver::onValue);
        s.value.connect(&b, &Receiver::onValue);
        s.ping.connect(&a, &Receiver::onPing);
        s.value.send(7);
        s.value(8);
        s.ping.send();
        QCOMPARE(a.seen, (std::vector<int> { 7, 8 }));
        QCOMPARE(b.seen, (std::vector<int> { 7, 8 }));
        QCOMPARE(a.pings, 1);
        QCOMPARE(b.pings, 0);
    }

    void threeArguments()
    {
        Sender s;
        Receiver r;
        s.three.connect(&r, &Receiver::onThree);
        s.three.send(5, true, "x");
        QCOMPARE(r.seen, (std::vector<int> { 5, 1, 'x' }));
    }

    void explicitDisconnect()
    {
        Sender s;
        Receiver r;
        s.value.connect(&r, &Receiver::onValue);
        s.ping.connect(&r, &Receiver::onPing);
        QCOMPARE(r.sender_count(), size_t(2));
        s.value.disconnect(&r);
        s.value.send(1);
        s.ping.send();
        QVERIFY(r.seen.empty());
        QCOMPARE(r.pings, 1);
        QCOMPARE(r.sender_count(), size_t(1));
    }

    void receiverDestroyedFirst()
    {
        Sender s;
        {
            Receiver r;
            s.value.connect(&r, &Receiver::onValue);
            QCOMPARE(s.value.connection_count(), size_t(1));
        }
        QVERIFY(s.value.is_empty());
        s.value.send(3); // must not call into the dead receiver
    }

    void senderDestroyedFirst()
    {
        Receiver r;
        {
            Sender s;
            s.value.connect(&r, &Receiver::onValue);
            s.ping.connect(&r, &Receiver::onPing);
            QCOMPARE(r.sender_count(), size_t(2));
        }
        QCOMPARE(r.sender_count(), size_t(0));
        // r's destructor must not touch the dead signals (checked by the sanitizer-free run
        // not crashing and by the empty sender set above).
    }

    void disconnectDuringEmission_data()
    {
        QTest::addColumn<bool>("removeNeighbour");
        QTest::newRow("itself") << false;
        QTest::newRow("a later slot") << true;
    }

    void disconnectDuringEmission()
    {
        QFETCH(bool, removeNeighbour);
        Sender s;
        SelfRemover remover;
        Receiver later;
        remover.signal = &s.value;
        if (removeNeighbour)
            remover.victim = &later;
        s.value.connect(&remover, &SelfRemover::onValue);
        s.value.connect(&later, &Receiver::onValue);
        s.value.send(1);
        s.value.send(2);
        if (removeNeighbour) {
            QCOMPARE(remover.calls, 2);
            QVERIFY(later.seen.empty());
            QCOMPARE(s.value.connection_count(), size_t(1));
        } else {
            QCOMPARE(remover.calls, 1);
            QCOMPARE(later.seen, (std::vector<int> { 1, 2 }));
            QCOMPARE(s.value.connection_count(), size_t(1));
        }
    }

    void nodesComeFromTheHooks()
    {
        {
            Sender s;
            Receiver r;
            s.value.connect(&r, &Receiver::onValue);
            // Connection object, list node and set node.
            QVERIFY(g_allocs >= 3);
        }
        QVERIFY(g_allocs > 0);
        QCOMPARE(g_frees, g_allocs);
    }

    void copiedSignalHasNoConnections()
    {
        Sender s;
        Receiver r;
        s.value.connect(&r, &Receiver::onValue);
        Sender copy(s);
        copy.value.send(4);
        QVERIFY(r.seen.empty());
        QCOMPARE(r.sender_count(), size_t(1));
    }
};

QTEST_APPLESS_MAIN(tst_Sigslot)
#include "tst_sigslot.moc"
