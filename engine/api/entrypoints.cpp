// The library's three C entry points.

#include <QCoreApplication>

#include <cstdlib>

#include "core/enginelog.h"
#include "core/vesktalksession.h"
#include "vesk/interfaces.h"

#define VESK_EXPORT extern "C" __attribute__((visibility("default")))

VESK_EXPORT void *VeskTalk_EASTLAllocator(size_t size)
{
    return std::malloc(size ? size : 1);
}

VESK_EXPORT void VeskTalk_EASTLDeleter(void *p)
{
    std::free(p);
}

// Needs a running Qt application on the calling thread: the session lives on its event loop.
VESK_EXPORT bool CreateVeskTalk(vesk::IVeskTalk **session)
{
    if (!session)
        return false;
    *session = nullptr;
    if (!QCoreApplication::instance()) {
        VLOG_ERROR(QStringLiteral("CreateVeskTalk needs a QCoreApplication"));
        return false;
    }
    sigslot::set_allocator(&VeskTalk_EASTLAllocator, &VeskTalk_EASTLDeleter);
    *session = new engine::VeskTalkSession;
    return true;
}
