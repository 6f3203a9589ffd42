// rib-view: shows what RIB files hold without a renderer. Each WorldEnd completes one picture,
// drawn from the camera, lights and primitives the RIB gives (view::ViewContext) with OpenGL: in
// a window that plays the pictures, or, with --snapshot, off-screen into PNG files without any
// display. Inputs are read one after the other as one stream, in any encoding, gzip too; their
// problems are reported as rib-check reports them, and what could be read is drawn all the same.
#include <cstdio>
#include <string>

#include "Snapshot.h"
#include "ViewArguments.h"
#include "ViewWindow.h"
#include "rib/ri.h"
#include "tools/common/ProblemPrinter.h"
#include "tools/common/StandardDescriptors.h"

int main(int argc, char **argv) {
  ribtools::occupyClosedStandardDescriptors();
  ribview::ViewArguments arguments;
  if (const std::string problem = ribview::parseViewArguments(argc, argv, arguments);
      !problem.empty()) {
    std::fprintf(stderr, "rib-view: %s\n%s\n", problem.c_str(), ribview::viewUsage());
    return 2;
  }
  if (arguments.help) {
    std::printf("%s\n%s", ribview::viewUsage(), ribview::viewHelp());
    return 0;
  }
  if (arguments.version) {
    std::printf("rib-view %s\n", RIB_VERSION);
    return 0;
  }
  for (const std::string &path : arguments.inputs) {
    if (const std::string problem = ribtools::unreadable(path); !problem.empty()) {
      std::fprintf(stderr, "rib-view: %s\n", problem.c_str());
      return 2;
    }
  }
  return arguments.snapshot ? ribview::runSnapshot(arguments) : ribview::runWindow(arguments);
}
