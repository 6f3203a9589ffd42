// CurrentContext.h - how the C procedures reach the current context.
#pragma once

#include "rib/RiContext.h"

namespace rib {

/// RiCurrentContext; without one, the severe "RiBegin not called" report naming `procedure`
/// (which ends the process) and null, should the report return.
RiContext *contextFor(const char *procedure);

} // namespace rib
