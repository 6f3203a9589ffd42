// ErrorReport.h - the error texts behind the standard handlers of rib/ri.h.
//
// RiErrorPrint prints "<severity>: <code text>" and folds immediate repeats; these helpers expose
// its tables and let tests start from a clean state.
#pragma once

#include "rib/ri.h"

namespace rib {

/// The text printed for an error code, or null when the code has none (it prints as "code N").
const char *errorCodeText(RtInt code);
/// "INFO", "WARNING", "ERROR" or "SEVERE ERROR"; empty for severities outside 0 to 3.
const char *errorSeverityName(RtInt severity);
/// Forgets the last printed report and pending repeats and sets RiLastError to 0.
void resetErrorReports();

} // namespace rib
