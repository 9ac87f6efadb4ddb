#include "show/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

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

// "S" or "S.FFF": a positive number of seconds, at most an hour, to the millisecond.
int64_t ParseSeconds(const std::string& Text) {
    const size_t dot = Text.find('.');
    const std::string whole = Text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : Text.substr(dot + 1);
    const auto digits = [](const std::string& part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const bool wellFormed = !whole.empty() && whole.size() <= 4 && digits(whole) && fraction.size() <= 3 &&
                            digits(fraction) && (dot == std::string::npos || !fraction.empty());
    const int64_t milliseconds =
        wellFormed ? std::stoll(whole) * 1000 +
                         (fraction.empty() ? 0 : std::stoll(fraction.append(3 - fraction.size(), '0')))
                   : 0;
    if (milliseconds <= 0 || milliseconds > 3600 * 1000)
        throw CommandLineError{"--seconds: '" + Text +
                               "' is not a number of seconds above 0 and at most 3600"};
    return milliseconds;
}

// The file to export, with an extension an exporter knows.
std::string ExportFile(const std::string& File) {
    const std::vector<std::string>& known = ExportExtensions();
    if (std::find(known.begin(), known.end(), ExtensionOf(File)) != known.end()) return File;
    std::string names;
    for (const std::string& extension : known)
        names += (names.empty() ? "" : ", ") + extension;
    throw CommandLineError{"--export: '" + File + "' does not end in an extension it knows (" + names + ")"};
}

// The options that go with --export and those that go without it.
void CheckExport(const CommandLine& Result) {
    if (Result.ExportTime && Result.Export.empty()) throw CommandLineError{"--seconds needs --export"};
    if (Result.ExportTime && ExtensionOf(Result.Export) == ".html")
        throw CommandLineError{"--seconds goes with a video: a web page plays as long as the guest watches"};
    if (!Result.Export.empty() && (Result.Window || Result.Headless || Result.PrintInvitation))
        throw CommandLineError{"--export makes a file and shows nothing: it takes no --window, --headless or "
                               "--print-invitation"};
}

} // namespace

const std::vector<std::string>& ExportExtensions() {
    static const std::vector<std::string> kExtensions = {".mp4", ".webm", ".html"};
    return kExtensions;
}

std::string ExtensionOf(const std::string& File) {
    std::string extension = std::filesystem::path(File).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

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
        else if (arg == "--export")
            result.Export = ExportFile(value());
        else if (arg == "--seconds")
            result.ExportTime = ParseSeconds(value());
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
    CheckExport(result);
    for (const Snapshot& snapshot : result.Snapshots)
        if (snapshot.Frame > result.Frames)
            throw CommandLineError{"--snapshot " + std::to_string(snapshot.Frame) + ":" + snapshot.File +
                                   ": the run ends after frame " + std::to_string(result.Frames)};
    return result;
}

std::string Usage() {
    return "Usage: fuifje [options] [INVITATION.toml]\n"
           "Plays the invitation full screen; Escape ends it. Or sends it: --export FILE.\n"
           "\n"
           "  --invitation FILE     play the invitation FILE describes (also given as the plain argument)\n"
           "  --print-invitation    write the built-in invitation as such a file to standard output\n"
           "  --export FILE         make FILE instead of playing: a video to send (.mp4, or .webm)\n"
           "                        or the invitation as one web page (.html)\n"
           "  --seconds S           with a video's --export: how long it runs (default: the music, or until "
           "the\n"
           "                        date and time have stood two seconds, whichever is later)\n"
           "  --window              play in a resizable 800 x 600 window instead of full screen\n"
           "  --headless            no window, no sound, no real time (for tests and snapshots)\n"
           "  --frames N            with --headless: run N frames as fast as possible, then exit\n"
           "  --snapshot F:FILE     with --headless: write frame F (the first drawn frame is 1) as PNG\n"
           "  --seed S              fix the random generator (the same show every run)\n"
           "  --help                show this text\n"
           "  --version             show the version\n";
}
