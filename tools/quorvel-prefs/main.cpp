// quorvel-prefs: the settings pane of a simulated device, on the command line.
#include <cstdlib>
#include <iostream>

#include "action.h"
#include "commands.h"
#include "device_root_choice.h"
#include "failure.h"
#include "foundation/foundation.h"
#include "options.h"

int main(int argc, char** argv) {
  using namespace qv::prefs;
  try {
    Options options = parseOptions(argc, argv, std::getenv("QUORVEL_ROOT"));
    if (options.help) {
      std::cout << usageText();
      return 0;
    }
    // Every argument is checked before the root is touched, so a refused line writes nothing.
    Action action = parseAction(options.words);
    if (action.kind == Action::Kind::Pane) {
      qv::host::registerFoundation();
    } else {
      requireRoot(options);
      useDeviceRoot(options.root);
      qv::host::registerFoundation();
    }
    Context context{options.force, std::cout, std::cerr};
    perform(action, context);
    std::cout.flush();
    return 0;
  } catch (const Failure& failure) {
    std::cerr << "quorvel-prefs: " << failure.message << "\n";
    if (failure.status == Failure::Usage) std::cerr << "Try 'quorvel-prefs --help'.\n";
    return failure.status;
  }
}
