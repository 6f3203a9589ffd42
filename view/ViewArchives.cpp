// Archives, procedurals and retained objects of ViewContext. Archives are read through the
// public reader into this same context; procedurals that would run code are never run.
#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Diagnostics.h"
#include "ViewState.h"
#include "rib/RibRead.h"

namespace view {
namespace {

constexpr size_t kMostNestedArchives = 64;

std::string folderOf(const std::string &path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isFile(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string canonical(const std::string &path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// While an archive is read, a failure to read it is one problem of the request that asked for
// it (the input being read is still readable).
struct ArchiveSink {
  rib::DiagnosticTarget outer;
  static void receive(void *user, rib::DiagnosticKind kind, const char *text, size_t length) {
    const ArchiveSink &sink = *static_cast<ArchiveSink *>(user);
    if (kind == rib::DiagnosticKind::Unreadable) {
      std::string line = "zizurezar error: ";
      line.append(text, length);
      sink.outer.sink(sink.outer.user, rib::DiagnosticKind::Library, line.data(), line.size());
      return;
    }
    sink.outer.sink(sink.outer.user, kind, text, length);
  }
};

} // namespace

void ViewContext::State::readArchive(const char *name, const char *request) {
  if (!name || !*name) {
    rib::reportError(RIE_NOFILE, "%s: no archive named", request);
    return;
  }
  // Relative paths: from the folder of the file that names them, then from the working folder.
  std::string path;
  if (name[0] == '/') {
    path = name;
  } else {
    const std::string including = archives.empty() ? inputName : archives.back();
    const std::string folder = including == "-" ? std::string() : folderOf(including);
    if (!folder.empty() && isFile(folder + name)) path = folder + name;
    else path = name;
  }
  if (!isFile(path)) {
    rib::reportError(RIE_NOFILE, "%s: cannot find \"%s\"", request, name);
    return;
  }
  const std::string identity = canonical(path);
  const bool again = (!inputName.empty() && inputName != "-" && canonical(inputName) == identity);
  bool nested = again;
  for (const std::string &open : archives) nested = nested || canonical(open) == identity;
  if (nested) {
    rib::reportError(RIE_NESTING, "%s: \"%s\" includes itself; it is not read again", request, name);
    return;
  }
  if (archives.size() >= kMostNestedArchives) {
    rib::reportError(RIE_NESTING, "%s: archives nested deeper than %zu; \"%s\" is not read",
                     request, kMostNestedArchives, name);
    return;
  }
  archives.push_back(path);
  ArchiveSink sink;
  sink.outer = rib::setDiagnosticSink(ArchiveSink::receive, &sink);
  const int problems = rib::readRib(path.c_str(), self);
  rib::setDiagnosticSink(sink.outer.sink, sink.outer.user);
  archives.pop_back();
  if (problems > 0)
    rib::reportError(RIE_BADFILE, "%s: \"%s\" has %d problem%s", request, name, problems,
                     problems == 1 ? "" : "s");
}

RtVoid ViewContext::State::ReadArchiveV(RtToken name, RtArchiveCallback, RtInt, RtToken[],
                                        RtPointer[]) {
  for (const std::string &inline_ : inlineArchives)
    if (name && inline_ == name) {
      rib::reportNote("ReadArchive: the inline archive \"%s\" is not drawn", name);
      return;
    }
  readArchive(name, "ReadArchive");
}

RtArchiveHandle ViewContext::State::ArchiveBeginV(RtToken name, RtInt, RtToken[], RtPointer[]) {
  if (inlineDepth++ == 0 && name) inlineArchives.push_back(name);
  return name;
}

RtVoid ViewContext::State::ArchiveEnd() {
  if (inlineDepth > 0) --inlineDepth;
}

RtVoid ViewContext::State::Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                                      RtProcFreeFunc) {
  char **texts = static_cast<char **>(data);
  const char *first = texts && texts[0] ? texts[0] : "";
  if (subdivfunc == RiProcDelayedReadArchive) {
    readArchive(first, "Procedural \"DelayedReadArchive\"");
    return;
  }
  // A previewer runs nothing its input names: the bound shows where the geometry would be.
  if (subdivfunc == RiProcRunProgram)
    rib::reportNote("Procedural \"RunProgram\" \"%s\" is not run (a previewer runs no program its "
                    "input names); its bound is drawn as wires",
                    first);
  else if (subdivfunc == RiProcDynamicLoad)
    rib::reportNote("Procedural \"DynamicLoad\" \"%s\" is not loaded (a previewer runs no code its "
                    "input names); its bound is drawn as wires",
                    first);
  else
    rib::reportNote("Procedural: a procedure of the program is not called; its bound is drawn as "
                    "wires");
  if (!bound || skipMotionSample()) return;
  Mesh mesh;
  for (int corner = 0; corner < 8; ++corner)
    mesh.addVertex({bound[corner & 1], bound[2 + ((corner >> 1) & 1)], bound[4 + (corner >> 2)]});
  // The twelve edges: corners that differ in one coordinate.
  for (uint32_t a = 0; a < 8; ++a)
    for (uint32_t bit = 1; bit < 8; bit <<= 1)
      if (!(a & bit)) mesh.addLine(a, a | bit);
  draw(mesh);
}

RtObjectHandle ViewContext::State::ObjectBegin() {
  objects.emplace_back();
  objectInWorld.push_back(inWorld);
  defining = int(objects.size()) - 1;
  definingTransform = attributes.transform;
  return reinterpret_cast<RtObjectHandle>(uintptr_t(objects.size()));
}

RtVoid ViewContext::State::ObjectEnd() { defining = -1; }

RtVoid ViewContext::State::ObjectInstance(RtObjectHandle handle) {
  const uintptr_t number = reinterpret_cast<uintptr_t>(handle);
  if (number == 0 || number > objects.size() || int(number) - 1 == defining) {
    rib::reportError(RIE_BADHANDLE, "ObjectInstance: no object %lu",
                     static_cast<unsigned long>(number));
    return;
  }
  const std::vector<StoredMesh> &object = objects[number - 1];
  if (defining >= 0) {
    // An instance inside a definition: its meshes join the object being defined.
    const Mat4 into = attributes.transform * definingTransform.inverse();
    std::vector<StoredMesh> copies = object;
    for (StoredMesh &copy : copies) copy.toObject = copy.toObject * into;
    objects[size_t(defining)].insert(objects[size_t(defining)].end(), copies.begin(), copies.end());
    return;
  }
  const Mat4 toCameraNow = toCamera();
  for (const StoredMesh &stored : object)
    drawIn(stored.mesh, stored.toObject * toCameraNow, stored.orientation, stored.sides);
}

} // namespace view
