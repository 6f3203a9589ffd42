// The standard error handlers (ignore, print, abort), the error-report state, and the
// ErrorHandler request.
//
// RiErrorPrint folds immediate repeats of one report into a count that is announced when the next
// different report is printed, so a loop that fails the same way a thousand times prints once.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Diagnostics.h"
#include "ErrorReport.h"
#include "RibWriter.h"
#include "StandardNames.h"

RtInt RiLastError = 0;
char *gRibErrorFile = nullptr;
RtInt gRibErrorLine = 0;
char *gRibErrorObject = nullptr;

namespace {

struct ErrorText {
  RtInt code;
  const char *text;
};

// Codes without a row (5, 6 and unknown ones) print as "code N".
constexpr ErrorText kErrorTexts[] = {
    {RIE_NOMEM, "Memory allocation error"},
    {RIE_SYSTEM, "System error"},
    {RIE_NOFILE, "File not found"},
    {RIE_BADFILE, "Bad file"},
    {RIE_INCAPABLE, "Optional RI feature not implemented"},
    {RIE_UNIMPLEMENT, "Unimplemented feature"},
    {RIE_LIMIT, "Program limit"},
    {RIE_BUG, "Probable bug in renderer"},
    {RIE_NOTSTARTED, "RiBegin not called"},
    {RIE_NESTING, "Nesting error"},
    {RIE_NOTOPTIONS, "Invalid state for declaring options"},
    {RIE_NOTATTRIBS, "Invalid state for declaring attributes"},
    {RIE_NOTPRIMS, "Invalid state for declaring primitives"},
    {RIE_ILLSTATE, "Invalid state"},
    {RIE_BADMOTION, "Bad Motion block"},
    {RIE_BADSOLID, "Bad Solid block"},
    {RIE_BADTOKEN, "Invalid token"},
    {RIE_RANGE, "Parameter out of range"},
    {RIE_CONSISTENCY, "Parameters inconsistent"},
    {RIE_BADHANDLE, "Bad handle"},
    {RIE_NOSHADER, "Cannot load requested shader"},
    {RIE_MISSINGDATA, "Required parameters not provided"},
    {RIE_SYNTAX, "Syntax error"},
    {RIE_MATH, "Math error"},
};

constexpr const char *kSeverityNames[] = {"INFO", "WARNING", "ERROR", "SEVERE ERROR"};

constexpr size_t kRememberedMax = 1024;

// What the last printed report was, for folding repeats.
struct LastReport {
  RtInt line = -1;
  char message[kRememberedMax] = "";
  int repeats = 0;
};

LastReport gLastReport;

bool isRepeat(RtInt code, const char *message) {
  return gRibErrorLine == gLastReport.line && code == RiLastError && code != 0 &&
         (code != RIE_BADTOKEN || message[0] == '\0') &&
         std::strcmp(message, gLastReport.message) == 0;
}

void rememberMessage(const char *message) {
  gLastReport.message[0] = '\0';
  size_t length = std::strlen(message);
  if (length < kRememberedMax - 1) std::memcpy(gLastReport.message, message, length + 1);
}

} // namespace

namespace rib {

const char *errorCodeText(RtInt code) {
  for (const ErrorText &row : kErrorTexts)
    if (row.code == code) return row.text;
  return nullptr;
}

const char *errorSeverityName(RtInt severity) {
  if (severity < RIE_INFO || severity > RIE_SEVERE) return "";
  return kSeverityNames[severity];
}

void resetErrorReports() {
  gLastReport = LastReport();
  RiLastError = 0;
}

} // namespace rib

RtVoid RiErrorIgnore(RtInt code, RtInt, char *) { RiLastError = code; }

RtVoid RiErrorPrint(RtInt code, RtInt severity, char *message) {
  // A report without a message folds and compares as an empty message.
  const char *text = message ? message : "";
  if (isRepeat(code, text)) {
    ++gLastReport.repeats;
    return;
  }
  if (gLastReport.repeats > 0) {
    rib::DiagnosticText repeats(rib::DiagnosticKind::Library);
    repeats.appendFormat("    (last message repeated %d times)\n", gLastReport.repeats);
    gLastReport.repeats = 0;
  }
  rib::DiagnosticText report(rib::DiagnosticKind::Library);
  report.appendFormat("%s: ", rib::errorSeverityName(severity));
  if (gRibErrorLine > 0)
    report.appendFormat("%s (%ld): ", gRibErrorFile ? gRibErrorFile : "",
                        static_cast<long>(gRibErrorLine));
  if (const char *codeText = rib::errorCodeText(code))
    report.append(codeText);
  else if (code != 0)
    report.appendFormat("code %d", code);
  rememberMessage(text);
  if (message) {
    report.append("\n    --> ");
    report.append(message);
  }
  report.append("\n");
  if (gRibErrorObject)
    report.appendFormat("\t(error encountered in object \"%s\")\n", gRibErrorObject);
  report.flush();
  if (severity >= RIE_SEVERE) exit(-1);
  RiLastError = code;
  gLastReport.line = gRibErrorLine;
}

RtVoid RiErrorAbort(RtInt code, RtInt severity, char *message) {
  RiErrorPrint(code, severity, message);
  if (severity >= RIE_ERROR) exit(-1);
}

RtVoid rib::RibWriter::ErrorHandler(RtErrorHandler handler) {
  // Only the three standard handlers have a RIB name; the context's own handler is unchanged.
  if (const char *name = rib::errorHandlerName(handler)) {
    encoder.writeKeyword("ErrorHandler");
    encoder.writeArguments(name);
    encoder.endLine();
  }
}
