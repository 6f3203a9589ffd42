// ParamValueList.h - owned copies of parameter values in linked lists, from a node pool.
//
// Nothing in the library uses these lists: they are kept, with their tests, because the library's
// documented interface lists them for programs that keep parameters after a call.
//
// For code that must keep a request's parameters after the call (the writers themselves never do):
// each node holds a token, its declaration codes and its own copy of the values. Nodes come from a
// pool of 31-node blocks that is never returned to the heap; counters track nodes and data bytes.
//
//     ParamValueList list;
//     ParamValue *node = paramValueNew();
//     paramValueSet(node, "Ka", kTypeFloat, kClassUniform, 1, &ka, 1);
//     paramValueListAppend(list, node);
//     const RtFloat *found = static_cast<const RtFloat *>(paramValueListFind(list, "Ka"));
//     paramValueListClear(list);
#pragma once

#include <cstdint>
#include <cstdio>

namespace rib {

struct ParamValue {
  ParamValue *next;
  const char *token;  // interned
  int32_t size;       // bytes of data
  uint8_t type;       // ParamType of ParamDecl.h
  uint8_t paramClass; // ParamClass of ParamDecl.h
  int32_t count;      // elements
  void *data;         // owned copy (malloc), null when unset
};

struct ParamValueList {
  ParamValue *head = nullptr;
};

struct ParamValueStats {
  long requested;
  long outstanding;
  long peak;
  long dataRequested;
  long dataOutstanding;
  long dataPeak;
};

/// The pool's counters (nodes, and data bytes), process-wide.
extern ParamValueStats gParamValueStats;

/// A cleared node from the pool; null only when the heap is exhausted.
ParamValue *paramValueNew();
/// Stores token (interned), type, class and count and allocates room for `valueCount` values
/// (4 bytes each; a text pointer each for strings), copying `data` when given (texts are
/// interned) and zero-filling otherwise. Returns false when the allocation fails.
bool paramValueSet(ParamValue *node, const char *token, uint8_t type, uint8_t paramClass,
                   int32_t count, const void *data, int32_t valueCount);
/// A new node with the same token, codes and a copy of the data.
ParamValue *paramValueClone(const ParamValue *node);
/// Frees the node's data and returns the node to the pool.
void paramValueRelease(ParamValue *node);

/// Appends `node` at the tail.
void paramValueListAppend(ParamValueList &list, ParamValue *node);
/// Releases every node; the list becomes empty.
void paramValueListClear(ParamValueList &list);
/// Appends clones of every node of `from` to `to`.
void paramValueListCopy(const ParamValueList &from, ParamValueList &to);
/// Appends the nodes of `from` to `to`; `from` becomes empty.
void paramValueListMove(ParamValueList &from, ParamValueList &to);
/// The data of the first node with this token, or null.
void *paramValueListFind(const ParamValueList &list, const char *token);
/// Unlinks and releases the first node with this token and hands its data to the caller, who
/// frees it with std::free. Null when there is none.
void *paramValueListRemove(ParamValueList &list, const char *token);

/// "Param/value list:", then one "  Item: <token>, size = <bytes>" line per node, then a blank
/// line.
void paramValueListPrint(const ParamValueList &list, FILE *stream);
/// The pool's counters in three lines; flushes the stream.
void paramValueStatsPrint(FILE *stream);
/// Sets all counters to 0.
void paramValueStatsReset();

} // namespace rib
