// Placeholder: these requests write nothing until their family is implemented.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

RtToken RibWriter::Declare(char *name, char *declaration) { return nullptr; }
