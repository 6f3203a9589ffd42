#include "ParamList.h"

#include <climits>
#include <cstring>

#include "Context.h"
#include "ParamDecl.h"

namespace py = pybind11;

namespace ribpy {
namespace {

// Where a token's declaration stands now.
bool samePinned(const rib::ParamDecl *decl, bool declared, uint8_t type, uint8_t paramClass,
                int16_t arraySize) {
  if (!decl) return !declared;
  return declared && decl->type == type && decl->paramClass == paramClass &&
         decl->arraySize == arraySize;
}

} // namespace

void ParamList::reserve(size_t count) {
  if (count <= kInline) return;
  heapTokens_.reset(new RtToken[count]);
  heapValues_.reset(new RtPointer[count]);
  heapPinned_.reset(new Pinned[count]);
  heapRead_.reset(new Values[count]);
  tokens_ = heapTokens_.get();
  values_ = heapValues_.get();
  pinned_ = heapPinned_.get();
  read_ = heapRead_.get();
}

void ParamList::load(Context &context, const char *request, PyObject *dict, PyObject *const *values,
                     PyObject *names) {
  const size_t named = names ? static_cast<size_t>(PyTuple_GET_SIZE(names)) : 0;
  if (dict) {
    // The items as they are now, held: the dict may change while values are read.
    items_ = py::reinterpret_steal<py::object>(PyDict_Items(dict));
    if (!items_) throw py::error_already_set();
  }
  const size_t fromDict = dict ? static_cast<size_t>(PyList_GET_SIZE(items_.ptr())) : 0;
  if (fromDict + named > static_cast<size_t>(INT_MAX))
    failRequest(PyExc_ValueError, request, "has more parameters than the library counts");
  reserve(fromDict + named);
  for (size_t i = 0; i < fromDict; ++i) {
    PyObject *item = PyList_GET_ITEM(items_.ptr(), i);
    add(context, request, PyTuple_GET_ITEM(item, 0), PyTuple_GET_ITEM(item, 1));
  }
  for (size_t i = 0; i < named; ++i) add(context, request, PyTuple_GET_ITEM(names, i), values[i]);
}

void ParamList::add(Context &context, const char *request, PyObject *token, PyObject *value) {
  Where where{request, "", true};
  if (!PyUnicode_Check(token))
    failRequest(PyExc_TypeError, request, "parameter names are str, not %s", typeName(token));
  where.argument = utf8Text(token, where);
  Values &read = read_[count_];
  // Looked up anew each time: the context may have been closed by a value read before.
  const rib::ParamDecl *decl = context.writer(request).declarations.lookup(where.argument);
  Pinned &pinned = pinned_[count_];
  if (decl) pinned = Pinned{true, decl->type, decl->paramClass, decl->arraySize};
  const rib::ValueKind kind = decl ? rib::paramTypeInfo(decl->type).kind : rib::ValueKind::None;
  switch (kind) {
  case rib::ValueKind::Float: read.loadFloats(value, where); break;
  case rib::ValueKind::Integer: read.loadInts(value, where); break;
  case rib::ValueKind::String: read.loadTexts(value, where); break;
  case rib::ValueKind::None: read.loadAny(value, where); break;
  }
  tokens_[count_] = const_cast<RtToken>(where.argument);
  values_[count_] = read.pointer();
  ++count_;
}

void ParamList::check(rib::Declarations &declarations, const rib::PrimitiveCounts *counts) const {
  for (RtInt i = 0; i < count_; ++i) {
    const Pinned &pinned = pinned_[i];
    const rib::ParamDecl *decl = declarations.lookup(tokens_[i]);
    if (!samePinned(decl, pinned.declared, pinned.type, pinned.paramClass, pinned.arraySize))
      fail(PyExc_ValueError, read_[i].where(), "was declared anew while the request was read");
    if (decl && rib::paramTypeInfo(decl->type).kind != rib::ValueKind::None)
      read_[i].need(rib::paramValueCount(*decl, counts));
  }
}

const Values *ParamList::find(const char *token) const {
  for (RtInt i = 0; i < count_; ++i)
    if (std::strcmp(tokens_[i], token) == 0) return &read_[i];
  return nullptr;
}

} // namespace ribpy
