#pragma once

#include "cli/Command.h"

namespace voltaris::cli {

// The commands that talk to instruments (LINK options in LinkOptions.h).
Command transmitCommand();
Command readCommand();
Command resetCommand();
Command scanCommand();

}  // namespace voltaris::cli
