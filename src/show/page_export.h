// The invitation as one web page to send: the web module built with the
// program (the show compiled for browsers with its page, all in one HTML
// file) with the invitation written into it: its text, its pictures as the
// show fits them, its music and the font of its letters. The page needs no
// network and no other file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "show/command_line.h"
#include "show/invitation.h"

// Writes Content as the page Options.Export from the web module beside the
// executable (data_folder.h), reporting on standard output and error. 0 when
// written; 2 when there is no web module; 1 when a picture cannot be read or
// the page cannot be written (nothing is left behind then).
int ExportPage(const CommandLine& Options, const Invitation& Content);

// The page's text: Module (the web module's text) with Content's title and
// files written in. Relative file names are files of DataFolder; with Seed
// the page plays that seed unless its address names another. Raises
// Exception naming the file when a picture cannot be read, or when Module
// has no place for the invitation.
std::string ComposePage(const std::string& Module, const Invitation& Content, const std::string& DataFolder,
                        std::optional<uint32_t> Seed);
