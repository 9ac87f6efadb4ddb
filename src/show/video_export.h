// fuifje --export FILE.mp4 (or .webm): the show run as --headless runs it (a
// fake clock, no window, no sound device, a fixed seed), each presented frame
// handed to a video encoder instead of a screen, the music laid under it. The
// file appears only when it is whole; Ctrl-C or SIGTERM stop within a frame,
// remove what was made and end with status 130 or 143.
#pragma once

#include "show/command_line.h"
#include "show/invitation.h"

// Makes Options.Export from Content; the program's exit status (0, 1 on a
// failure told on standard error, 128 + the signal that stopped it).
int RunVideoExport(const CommandLine& Options, const Invitation& Content);
