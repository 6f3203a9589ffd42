// RibText.h - the pieces of RIB text shared by all writers: quoted texts, numbers and arrays.
//
// Everything here appends to a RibChunk, so a writer that puts several pieces (a token, then its
// values) hands them to the stream in order and in large pieces.
#pragma once

#include <cstddef>

#include "rib/FloatFormat.h"
#include "rib/RibChunk.h"
#include "rib/ri.h"

/// Appends `text` in double quotes; a quote, a backslash and a newline are escaped so that a RIB
/// reader gets the same text back. Null reads as empty.
void putQuoted(RibChunk &out, const char *text);
/// Appends the escaped text without the surrounding quotes.
void putEscaped(RibChunk &out, const char *text);
/// Appends a float as "%g" would with `precision` significant digits (locale-independent).
void putFloat(RibChunk &out, float value, int precision);
/// Appends a decimal integer (locale-independent).
void putInt(RibChunk &out, long value);

/// A float array: ASCII "[v v v]" with "%g" values, or binary (length header, big-endian singles).
void putFloatArray(RibChunk &out, const RtFloat *values, size_t n, bool binary, int precision);
/// An integer array "[i i i ]" (each value followed by a blank).
void putIntArray(RibChunk &out, const RtInt *values, size_t n);
/// A text array "[\"a\" \"b\"]" (blank-separated, escaped). Null texts read as empty.
void putTextArray(RibChunk &out, RtToken const *texts, size_t n);
