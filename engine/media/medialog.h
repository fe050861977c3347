#pragma once

#include <QLoggingCategory>

// The media side's log lines ("vesk.media"); the engine's log file collects them.
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
