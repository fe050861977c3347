#pragma once

#include <QTemporaryDir>
#include <QtTest>

#include "contactrecords.h"
#include "demobook.h"
#include "rest/contact.h"
#include "webserviceemulator.h"

// Helpers shared by the address-book screen tests: a signed-in address book against the local
// web-service emulator, and fresh fetches that show what the service really holds.
namespace contactscreenstesting {

using contacttesting::contact;
using contacttesting::phone;
using servicetesting::waitMs;

// The emulator with the demo account, and the book signed in as "demo" against it.
class ServiceBook : public servicetesting::DemoBook<>
{
public:
    bool start()
    {
        if (!dir.isValid() || !emu.start())
            return false;
        return useService(emu, dir);
    }

    // The service's contact of that nick; an empty record (no nick) when it has none.
    Contact fetchContact(const QString &nick) const
    {
        for (const Contact &c : fetchContacts()) {
            if (c.nick() == nick)
                return c;
        }
        return Contact();
    }

    WebServiceEmulator emu;
    QTemporaryDir dir;
};

} // namespace contactscreenstesting
