#pragma once

#include <QNetworkInterface>

// Small helpers with no better home.
class Util
{
public:
    // Whether this machine has a way out: an interface that is up, running, not the loopback and has
    // an address. A proxy in between does not matter here: a route to it is all a sign-in needs, so
    // a missing route is the only "no".
    //
    // TALKVANE_LOOPBACK_IS_NETWORK=1 lets the loopback interface count, for test runs whose only
    // services live on 127.0.0.1.
    static bool hasNetworkConnectivity();

    // The rule above for one interface.
    static bool isUsableInterface(
        QNetworkInterface::InterfaceFlags flags, int addressCount, bool loopbackCounts);
};
