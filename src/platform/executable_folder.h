// Where the running program lies, as the system tells it: the place its own
// files (data folder, video module) are found relative to.
#pragma once

#include <string>

// The folder of the running executable, with its trailing slash ("./" when the
// system cannot tell).
std::string ExecutableFolder();
