// Where the program finds its own files: the built-in invitation's pictures and
// music lie in the data folder, "graph/" beside the program in its build
// folder, or the installed data folder relative to the program (from
// "<prefix>/bin/" that is "<prefix>/share/fuifje/"). The one place that says so.
#pragma once

#include <string>

#include "platform/executable_folder.h"

// The data folder of a program that lives in ExecutableFolder (both with a
// trailing slash): "graph/" there if it exists, else the installed data
// folder. Raises Exception naming every folder it looked in when neither exists.
std::string DataFolder(const std::string& ExecutableFolder);

// The file name of the web module (the show built for browsers as one page).
inline constexpr const char* kWebModuleName = "fuifje-web.html";

// The web module the page export starts from: "fuifje-web.html" beside the
// executable (as a build leaves it), else in the data folder (where an install
// may put it). Empty when neither holds it.
std::string WebModuleFile(const std::string& ExecutableFolder);
