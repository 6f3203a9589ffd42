// RibText.h - the pieces of RIB text shared by all writers: quoted texts and numbers.
#pragma once

#include "rib/FloatFormat.h"
#include "rib/RibChunk.h"

/// Appends `text` in double quotes; a quote, a backslash and a newline are escaped so that a RIB
/// reader gets the same text back. Null reads as empty.
void putQuoted(RibChunk &out, const char *text);
/// Appends the escaped text without the surrounding quotes.
void putEscaped(RibChunk &out, const char *text);
/// Appends a float as "%g" would with `precision` significant digits (locale-independent).
void putFloat(RibChunk &out, float value, int precision);
/// Appends a decimal integer (locale-independent).
void putInt(RibChunk &out, long value);
