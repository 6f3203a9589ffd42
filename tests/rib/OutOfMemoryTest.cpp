// Memory running out inside the library: this program replaces operator new with one that fails
// on demand, and each case runs in a child process. Nothing may throw through the C interface: a
// request (or a context) that finds no memory is said in one line, RIE_NOMEM is set, the request
// is left out whole and the requests around it are written as usual.
#include <cstdlib>
#include <new>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "RibTestUtil.h"

namespace {

// Set by a test: every allocation through operator new fails from then on.
bool gAllocationsFail = false;

void *allocate(std::size_t size) {
  if (gAllocationsFail) throw std::bad_alloc();
  if (void *block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

void *allocateOrNull(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

} // namespace

// The replacements of the whole program (the library's allocations included); every form pairs
// with std::free, so the sanitizers see matching calls.
void *operator new(std::size_t size) { return allocate(size); }
void *operator new[](std::size_t size) { return allocate(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  return allocateOrNull(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  return allocateOrNull(size);
}
void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, std::size_t) noexcept { std::free(block); }
void operator delete[](void *block, std::size_t) noexcept { std::free(block); }

namespace {

using ribtest::ChildRun;
using ribtest::kHeader;
using ribtest::readFile;
using ribtest::runInChild;
using ribtest::tempPath;
using ribtest::tok;

TEST(OutOfMemory, RiBeginThatCannotMakeItsContextSaysSo) {
  const std::string path = tempPath("no_memory_context");
  const ChildRun run = runInChild([&] {
    gAllocationsFail = true;
    const RtContextHandle context = RiBegin(tok(path.c_str()));
    gAllocationsFail = false;
    return context == nullptr && RiGetContext() == nullptr ? static_cast<int>(RiLastError) : 100;
  });
  EXPECT_EQ(run.exitStatus, RIE_NOMEM);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: RiBegin: out of memory; no context for \"" + path + "\"\n");
  struct stat info;
  EXPECT_NE(stat(path.c_str(), &info), 0) << "nothing is created for a context never made";
}

TEST(OutOfMemory, RequestsThatFindNoMemoryAreLeftOutWhole) {
  const std::string path = tempPath("no_memory_requests");
  const ChildRun run = runInChild([&] {
    RtFloat half = 0.5f;
    const std::string record(5000, 'r'); // longer than a record formats on the stack
    RiBegin(tok(path.c_str()));
    RiWorldBegin();
    gAllocationsFail = true;
    RiDeclare(tok("Kq"), tok("uniform float"));                       // a new declaration
    RiSphere(1, -1, 1, 360, tok("uniform float Kz"), &half, RI_NULL); // an inline one
#define TEN_TIMES 0.f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f,
    // More sample times than are gathered on the stack.
    RiMotionBegin(101, TEN_TIMES TEN_TIMES TEN_TIMES TEN_TIMES TEN_TIMES TEN_TIMES TEN_TIMES
                           TEN_TIMES TEN_TIMES TEN_TIMES 1.f);
#undef TEN_TIMES
    RiArchiveRecord(tok("comment"), tok("%s"), record.c_str());
    RiSphere(1, -1, 1, 360, RI_KA, &half, RI_NULL); // predeclared: needs no memory
    const RtInt code = RiLastError;
    gAllocationsFail = false;
    RiWorldEnd();
    RiEnd();
    return static_cast<int>(code);
  });
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, RIE_NOMEM);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: RiDeclare: out of memory; the request is left out\n"
            "zizurezar error: RiSphere: out of memory; the request is left out\n"
            "zizurezar error: RiMotionBegin: out of memory; the request is left out\n"
            "zizurezar error: RiArchiveRecord: out of memory; the request is left out\n");
  EXPECT_EQ(readFile(path),
            std::string(kHeader) + "WorldBegin\nSphere 1 -1 1 360 \"Ka\" [0.5]\nWorldEnd\n\n");
  std::remove(path.c_str());
}

} // namespace
