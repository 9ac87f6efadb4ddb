// The command line: the invitation file to play (by option or as the one plain
// argument, as a desktop entry's "fuifje %f" passes it), the built-in
// invitation printed as such a file, the invitation exported as a file to send
// (its extension picks the exporter), and options for people (a window instead
// of full screen) and tests (headless runs, snapshots, a fixed random seed).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Snapshot {
    int Frame = 0;    // counting the first drawn frame as 1
    std::string File; // PNG file to write
};

struct CommandLine {
    bool Window = false;
    bool Headless = false;
    int Frames = 0; // headless: how many frames to run
    std::vector<Snapshot> Snapshots;
    std::optional<uint32_t> Seed;
    std::string Invitation; // the invitation file; empty: the built-in invitation
    bool PrintInvitation = false;
    std::string Export;                // --export FILE: make FILE instead of playing; empty: play
    std::optional<int64_t> ExportTime; // --seconds S, in milliseconds: how long the export runs
    bool Help = false;
    bool Version = false;
};

// Thrown for an unknown option or a malformed value; the message says which.
struct CommandLineError {
    std::string Message;
};

// The extensions --export knows, each naming what it makes (".mp4", ".webm": a
// video; ".html": the invitation as one web page).
const std::vector<std::string>& ExportExtensions();

// File's extension in lower case, with its dot ("" when it has none).
std::string ExtensionOf(const std::string& File);

// Reads the arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& Args);

// The usage text shown by --help and after a command line error.
std::string Usage();
