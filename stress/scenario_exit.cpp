// No peers: the program starts, listens and is told to exit, for the fault harness
// (exit_faults.py), which kills it during its exit or gives it a settings folder it cannot
// write to. The driver says "exiting" on its standard output when it presses Exit.
#include "stress/scenario.h"

namespace {

void Nothing(bool) {}

}  // namespace

const Scenario exitScenario{"exit", Nothing, Nothing, 4000, 0};
