#include "show/command_line.h"

#include <charconv>

namespace {

// A whole decimal number in [Min, Max], or a CommandLineError naming the option.
int64_t ParseNumber(const std::string& Option, const std::string& Text, int64_t Min, int64_t Max) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (error != std::errc() || end != Text.data() + Text.size() || value < Min || value > Max)
        throw CommandLineError{Option + ": '" + Text + "' is not a number from " + std::to_string(Min) +
                               " to " + std::to_string(Max)};
    return value;
}

// "F:FILE.png": a frame number, a colon and a file name.
Snapshot ParseSnapshot(const std::string& Text) {
    const size_t colon = Text.find(':');
    if (colon == std::string::npos || colon + 1 == Text.size())
        throw CommandLineError{"--snapshot: expected FRAME:FILE.png, got '" + Text + "'"};
    Snapshot snapshot;
    snapshot.Frame = static_cast<int>(ParseNumber("--snapshot", Text.substr(0, colon), 1, 100000000));
    snapshot.File = Text.substr(colon + 1);
    return snapshot;
}

// The invitation file, given once, by --invitation or as a plain argument.
void SetInvitation(CommandLine& Result, const std::string& File) {
    if (!Result.Invitation.empty())
        throw CommandLineError{"more than one invitation file: '" + Result.Invitation + "' and '" + File +
                               "'"};
    if (File.empty()) throw CommandLineError{"--invitation needs a file name"};
    Result.Invitation = File;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& Args) {
    CommandLine result;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= Args.size()) throw CommandLineError{arg + " needs a value"};
            return Args[++i];
        };
        if (arg == "--window")
            result.Window = true;
        else if (arg == "--headless")
            result.Headless = true;
        else if (arg == "--frames")
            result.Frames = static_cast<int>(ParseNumber(arg, value(), 0, 100000000));
        else if (arg == "--snapshot")
            result.Snapshots.push_back(ParseSnapshot(value()));
        else if (arg == "--seed")
            result.Seed = static_cast<uint32_t>(ParseNumber(arg, value(), 0, UINT32_MAX));
        else if (arg == "--invitation")
            SetInvitation(result, value());
        else if (arg == "--print-invitation")
            result.PrintInvitation = true;
        else if (arg == "--help" || arg == "-h")
            result.Help = true;
        else if (arg == "--version")
            result.Version = true;
        // A desktop entry's %f may expand to an empty argument: no file.
        else if (arg.empty())
            continue;
        else if (arg[0] != '-')
            SetInvitation(result, arg);
        else
            throw CommandLineError{"unknown option '" + arg + "'"};
    }
    if (!result.Headless && (result.Frames > 0 || !result.Snapshots.empty()))
        throw CommandLineError{"--frames and --snapshot need --headless"};
    for (const Snapshot& snapshot : result.Snapshots)
        if (snapshot.Frame > result.Frames)
            throw CommandLineError{"--snapshot " + std::to_string(snapshot.Frame) + ":" + snapshot.File +
                                   ": the run ends after frame " + std::to_string(result.Frames)};
    return result;
}

std::string Usage() {
    return "Usage: fuifje [options] [INVITATION.toml]\n"
           "Plays the invitation full screen; Escape ends it.\n"
           "\n"
           "  --invitation FILE     play the invitation FILE describes (also given as the plain argument)\n"
           "  --print-invitation    write the built-in invitation as such a file to standard output\n"
           "  --window              play in a resizable 800 x 600 window instead of full screen\n"
           "  --headless            no window, no sound, no real time (for tests and snapshots)\n"
           "  --frames N            with --headless: run N frames as fast as possible, then exit\n"
           "  --snapshot F:FILE     with --headless: write frame F (the first drawn frame is 1) as PNG\n"
           "  --seed S              fix the random generator (the same show every run)\n"
           "  --help                show this text\n"
           "  --version             show the version\n";
}
