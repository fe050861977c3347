#pragma once

// The end-to-end runs' name for the shared WAV and tone checks.
#include "tonecheck.h"

namespace audiocheck = tonecheck;
