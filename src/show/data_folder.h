// Where the program finds its own files: the built-in invitation's pictures and
// music lie in the data folder, "graph/" beside the executable. The one place
// that says so.
#pragma once

#include <string>

// The folder of the running executable, with its trailing slash ("./" when the
// system cannot tell).
std::string ExecutableFolder();

// The data folder of a program in ExecutableFolder, with its trailing slash.
std::string DataFolder(const std::string& ExecutableFolder);
