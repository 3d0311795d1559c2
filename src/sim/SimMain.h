#pragma once

namespace voltaris {

// voltaris-sim: parses the command line, sets up the instruments and serves them until a
// signal (SIGINT, SIGTERM) or an Unplug fault ends it. Returns the exit status.
int RunSim(int argc, char** argv);

}  // namespace voltaris
