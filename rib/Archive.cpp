// Placeholder: these requests write nothing until their family is implemented.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

RtVoid RibWriter::ArchiveRecord(RtToken type, char *format, ...) {}
RtVoid RibWriter::ArchiveRecordV(RtToken type, char *format, va_list arguments) {}
RtVoid RibWriter::ReadArchive(RtToken name, RtArchiveCallback callback, ...) {}
RtVoid RibWriter::ReadArchiveV(RtToken name, RtArchiveCallback callback, RtInt n, RtToken tokens[], RtPointer values[]) {}
