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
void *operator new(std::size_t size, const std::nothrow_t &) noexcept { return allocateOrNull(size); }
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
    RiDeclare(tok("Kq"), tok("uniform float"));                     // a new declaration
    RiSphere(1, -1, 1, 360, tok("uniform float Kz"), &half, RI_NULL); // an inline one
    RiMotionBegin(101, 0.0, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1, 0.11, 0.12,
                  0.13, 0.14, 0.15, 0.16, 0.17, 0.18, 0.19, 0.2, 0.21, 0.22, 0.23, 0.24, 0.25, 0.26,
                  0.27, 0.28, 0.29, 0.3, 0.31, 0.32, 0.33, 0.34, 0.35, 0.36, 0.37, 0.38, 0.39, 0.4,
                  0.41, 0.42, 0.43, 0.44, 0.45, 0.46, 0.47, 0.48, 0.49, 0.5, 0.51, 0.52, 0.53, 0.54,
                  0.55, 0.56, 0.57, 0.58, 0.59, 0.6, 0.61, 0.62, 0.63, 0.64, 0.65, 0.66, 0.67, 0.68,
                  0.69, 0.7, 0.71, 0.72, 0.73, 0.74, 0.75, 0.76, 0.77, 0.78, 0.79, 0.8, 0.81, 0.82,
                  0.83, 0.84, 0.85, 0.86, 0.87, 0.88, 0.89, 0.9, 0.91, 0.92, 0.93, 0.94, 0.95, 0.96,
                  0.97, 0.98, 0.99, 1.0);                         // more times than the stack holds
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
