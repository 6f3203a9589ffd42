#include "ParamValueList.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "InternString.h"
#include "ParamDecl.h"

namespace rib {

ParamValueStats gParamValueStats = {0, 0, 0, 0, 0, 0};

namespace {

constexpr int kNodesPerBlock = 31;

ParamValue *gFreeNodes = nullptr;

// Takes a block of nodes from the heap: the first is handed out, the others join the free list.
ParamValue *newBlock() {
  auto *block = new (std::nothrow) ParamValue[kNodesPerBlock];
  if (!block) return nullptr;
  for (int i = 1; i < kNodesPerBlock; ++i)
    block[i].next = i + 1 < kNodesPerBlock ? &block[i + 1] : gFreeNodes;
  gFreeNodes = &block[1];
  return &block[0];
}

void raise(long &peak, long value) {
  if (value > peak) peak = value;
}

size_t valueBytes(uint8_t type) { return type == kTypeString ? sizeof(char *) : 4; }

void destroyData(ParamValue *node) {
  if (!node->data) return;
  std::free(node->data);
  gParamValueStats.dataOutstanding -= node->size;
  node->data = nullptr;
  node->size = 0;
}

} // namespace

ParamValue *paramValueNew() {
  ParamValue *node = gFreeNodes;
  if (node)
    gFreeNodes = node->next;
  else
    node = newBlock();
  if (!node) return nullptr;
  *node = ParamValue{nullptr, nullptr, 0, kTypeUnknown, 0, 0, nullptr};
  ++gParamValueStats.requested;
  raise(gParamValueStats.peak, ++gParamValueStats.outstanding);
  return node;
}

bool paramValueSet(ParamValue *node, const char *token, uint8_t type, uint8_t paramClass,
                   int32_t count, const void *data, int32_t valueCount) {
  destroyData(node);
  try {
    node->token = internString(token);
  } catch (const std::bad_alloc &) {
    return false;
  }
  node->type = type;
  node->paramClass = paramClass;
  node->count = count;
  if (valueCount <= 0) return true;
  // Text pointers are pointer-sized, not 4 bytes, on 64-bit machines.
  size_t bytes = static_cast<size_t>(valueCount) * valueBytes(type);
  void *copy = data ? std::malloc(bytes) : std::calloc(1, bytes);
  if (!copy) return false;
  if (data) {
    std::memcpy(copy, data, bytes);
    if (type == kTypeString) {
      auto *texts = static_cast<char **>(copy);
      int32_t interned = count < valueCount ? count : valueCount;
      try {
        for (int32_t i = 0; i < interned; ++i) texts[i] = internString(texts[i]);
      } catch (const std::bad_alloc &) {
        std::free(copy);
        return false;
      }
    }
  }
  node->data = copy;
  node->size = static_cast<int32_t>(bytes);
  gParamValueStats.dataRequested += node->size;
  raise(gParamValueStats.dataPeak, gParamValueStats.dataOutstanding += node->size);
  return true;
}

ParamValue *paramValueClone(const ParamValue *node) {
  ParamValue *clone = paramValueNew();
  if (!clone) return nullptr;
  int32_t valueCount =
      static_cast<int32_t>(static_cast<size_t>(node->size) / valueBytes(node->type));
  if (!paramValueSet(clone, node->token, node->type, node->paramClass, node->count, node->data,
                     node->data ? valueCount : 0)) {
    paramValueRelease(clone);
    return nullptr;
  }
  return clone;
}

void paramValueRelease(ParamValue *node) {
  if (!node) return;
  destroyData(node);
  node->next = gFreeNodes;
  gFreeNodes = node;
  --gParamValueStats.outstanding;
}

void paramValueListAppend(ParamValueList &list, ParamValue *node) {
  if (!node) return;
  ParamValue **link = &list.head;
  while (*link) link = &(*link)->next;
  node->next = nullptr;
  *link = node;
}

void paramValueListClear(ParamValueList &list) {
  while (ParamValue *node = list.head) {
    list.head = node->next;
    paramValueRelease(node);
  }
}

void paramValueListCopy(const ParamValueList &from, ParamValueList &to) {
  for (const ParamValue *node = from.head; node; node = node->next)
    paramValueListAppend(to, paramValueClone(node));
}

void paramValueListMove(ParamValueList &from, ParamValueList &to) {
  if (&from == &to) return;
  ParamValue **link = &to.head;
  while (*link) link = &(*link)->next;
  *link = from.head;
  from.head = nullptr;
}

// Every token in a list is interned: a text that is not cannot be found.
void *paramValueListFind(const ParamValueList &list, const char *token) {
  const char *key = findInterned(token);
  if (token && !key) return nullptr;
  for (const ParamValue *node = list.head; node; node = node->next)
    if (node->token == key) return node->data;
  return nullptr;
}

void *paramValueListRemove(ParamValueList &list, const char *token) {
  const char *key = findInterned(token);
  if (token && !key) return nullptr;
  for (ParamValue **link = &list.head; *link; link = &(*link)->next) {
    ParamValue *node = *link;
    if (node->token != key) continue;
    *link = node->next;
    void *data = node->data;
    gParamValueStats.dataOutstanding -= node->size; // the caller owns it now
    node->data = nullptr;
    node->size = 0;
    paramValueRelease(node);
    return data;
  }
  return nullptr;
}

void paramValueListPrint(const ParamValueList &list, FILE *stream) {
  fputs("Param/value list:\n", stream);
  for (const ParamValue *node = list.head; node; node = node->next)
    fprintf(stream, "  Item: %s, size = %d\n", node->token ? node->token : "", node->size);
  fputc('\n', stream);
}

void paramValueStatsPrint(FILE *stream) {
  const ParamValueStats &s = gParamValueStats;
  fputs("Param/value list stats:\n", stream);
  fprintf(stream, "    param/value entries: %ld requested, %ld outstanding, %ld peak (%ld kb)\n",
          s.requested, s.outstanding, s.peak, s.peak * 20 / 1024);
  fprintf(stream, "    param/value data memory: %ldk requested, %ldk outstanding,  %ldk peak\n",
          s.dataRequested / 1024, s.dataOutstanding / 1024, s.dataPeak / 1024);
  fflush(stream);
}

void paramValueStatsReset() { gParamValueStats = ParamValueStats{0, 0, 0, 0, 0, 0}; }

} // namespace rib
