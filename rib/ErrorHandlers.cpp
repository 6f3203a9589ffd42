// Placeholder: these requests write nothing until their family is implemented.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

RtVoid RibWriter::ErrorHandler(RtErrorHandler handler) {}
RtVoid RiErrorPrint(RtInt, RtInt, char *) {}
