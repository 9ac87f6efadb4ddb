// The command line: the invitation file to play (by option or as the one plain
// argument, as a desktop entry's "fuifje %f" passes it), the built-in
// invitation printed as such a file, and options for people (a window instead
// of full screen) and tests (headless runs, snapshots, a fixed random seed).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Snapshot {
    int Frame = 0;     // counting the first drawn frame as 1
    std::string File;  // PNG file to write
};

struct CommandLine {
    bool Window = false;
    bool Headless = false;
    int Frames = 0; // headless: how many frames to run
    std::vector<Snapshot> Snapshots;
    std::optional<uint32_t> Seed;
    std::string Invitation; // the invitation file; empty: the built-in invitation
    bool PrintInvitation = false;
    bool Help = false;
    bool Version = false;
};

// Thrown for an unknown option or a malformed value; the message says which.
struct CommandLineError {
    std::string Message;
};

// Reads the arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& Args);

// The usage text shown by --help and after a command line error.
std::string Usage();
