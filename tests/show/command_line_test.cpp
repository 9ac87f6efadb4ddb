// The program's command line: the options and their values, the refused
// ones, and the program's exit status and output for a few of them.
#include <gtest/gtest.h>

#include "show/command_line.h"
#include "show/show_rig.h"

namespace {

using Args = std::vector<std::string>;

const std::string kProgram = std::string(FUIFJE_BUILD_DIR) + "fuifje";

bool IsPng(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    std::string signature(8, '\0');
    in.read(signature.data(), 8);
    return in && signature == "\x89PNG\r\n\x1a\n";
}

} // namespace

TEST(CommandLine, ReadsEveryOption) {
    struct Accepted {
        const char* Name;
        Args Arguments;
        std::function<void(const CommandLine&)> Check;
    };
    const Accepted cases[] = {
        {"nothing",
         {},
         [](const CommandLine& c) {
             EXPECT_FALSE(c.Window || c.Headless || c.Help || c.Version || c.Seed);
             EXPECT_EQ(c.Frames, 0);
             EXPECT_TRUE(c.Snapshots.empty());
         }},
        {"window", {"--window"}, [](const CommandLine& c) { EXPECT_TRUE(c.Window); }},
        {"headless frames",
         {"--headless", "--frames", "25"},
         [](const CommandLine& c) {
             EXPECT_TRUE(c.Headless);
             EXPECT_EQ(c.Frames, 25);
         }},
        {"snapshots in order",
         {"--headless", "--frames", "12", "--snapshot", "5:a.png", "--snapshot", "12:dir/b:c.png"},
         [](const CommandLine& c) {
             ASSERT_EQ(c.Snapshots.size(), 2u);
             EXPECT_EQ(c.Snapshots[0].Frame, 5);
             EXPECT_EQ(c.Snapshots[0].File, "a.png");
             EXPECT_EQ(c.Snapshots[1].Frame, 12);
             EXPECT_EQ(c.Snapshots[1].File, "dir/b:c.png");
         }},
        {"largest seed",
         {"--seed", "4294967295"},
         [](const CommandLine& c) { EXPECT_EQ(c.Seed, 4294967295u); }},
        {"seed 0", {"--seed", "0"}, [](const CommandLine& c) { EXPECT_EQ(c.Seed, 0u); }},
        {"help", {"--help"}, [](const CommandLine& c) { EXPECT_TRUE(c.Help); }},
        {"short help", {"-h"}, [](const CommandLine& c) { EXPECT_TRUE(c.Help); }},
        {"version", {"--version"}, [](const CommandLine& c) { EXPECT_TRUE(c.Version); }},
        {"invitation",
         {"--invitation", "a.toml"},
         [](const CommandLine& c) { EXPECT_EQ(c.Invitation, "a.toml"); }},
        // A desktop entry's "fuifje %f": the file as the plain argument, or an empty argument for none.
        {"invitation as the plain argument",
         {"--window", "party.toml"},
         [](const CommandLine& c) { EXPECT_EQ(c.Invitation, "party.toml"); }},
        {"empty argument", {""}, [](const CommandLine& c) { EXPECT_TRUE(c.Invitation.empty()); }},
        {"print invitation",
         {"--print-invitation"},
         [](const CommandLine& c) { EXPECT_TRUE(c.PrintInvitation); }},
        {"export a web page",
         {"--export", "Party.HTML"},
         [](const CommandLine& c) { EXPECT_EQ(c.Export, "Party.HTML"); }},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Check(ParseCommandLine(c.Arguments));
    }
}

TEST(CommandLine, RefusesUnknownOptionsAndMalformedValues) {
    struct Refused {
        Args Arguments;
        std::string Named; // the error names what was wrong
    };
    const Refused cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"a.toml", "--invitation", "b.toml"}, "b.toml"},
        {{"--invitation"}, "--invitation"},
        {{"--invitation", ""}, "--invitation"},
        {{"--seed"}, "--seed"},
        {{"--headless", "--frames", "abc"}, "abc"},
        {{"--headless", "--frames", "-1"}, "-1"},
        {{"--headless", "--frames", "5x"}, "5x"},
        {{"--headless", "--frames", ""}, "--frames"},
        {{"--seed", "4294967296"}, "4294967296"},
        {{"--seed", "-1"}, "-1"},
        {{"--headless", "--snapshot", "5"}, "5"},
        {{"--headless", "--snapshot", ":a.png"}, "--snapshot"},
        {{"--headless", "--snapshot", "5:"}, "5:"},
        {{"--headless", "--snapshot", "0:a.png"}, "0"},
        {{"--frames", "5"}, "--headless"},
        {{"--snapshot", "5:a.png"}, "--headless"},
        {{"--headless", "--frames", "3", "--snapshot", "5:a.png"}, "after frame 3"},
        {{"--export", "party.txt"}, "party.txt"},
        {{"--export", "party.html", "--seconds", "3"}, "--seconds"},
        {{"--export"}, "--export"},
    };
    for (const Refused& c : cases) {
        std::string joined;
        for (const std::string& arg : c.Arguments)
            joined += "'" + arg + "' ";
        try {
            ParseCommandLine(c.Arguments);
            ADD_FAILURE() << joined << "was accepted";
        } catch (const CommandLineError& error) {
            EXPECT_NE(error.Message.find(c.Named), std::string::npos) << joined << ": " << error.Message;
        }
    }
}

TEST(CommandLine, TheProgramExitsAsTheOptionsSay) {
    TempFolder folder(false);
    const std::string errors = folder.Folder() + "stderr.txt";

    const ProgramResult bogus = RunProgram(kProgram, "--bogus", errors);
    EXPECT_EQ(bogus.ExitCode, 2);
    EXPECT_NE(bogus.Stderr.find("--bogus"), std::string::npos) << bogus.Stderr;
    EXPECT_NE(bogus.Stderr.find("Usage: fuifje"), std::string::npos) << bogus.Stderr;

    const fs::path png = fs::path(folder.Folder()) / "x.png";
    const ProgramResult run =
        RunProgram(kProgram, "--headless --seed 1 --frames 5 --snapshot '5:" + png.string() + "'", errors);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_TRUE(IsPng(png));

    // A snapshot that cannot be written ends the run with an error naming the file.
    const std::string unwritable = folder.Folder() + "no/such/folder/y.png";
    const ProgramResult failed =
        RunProgram(kProgram, "--headless --frames 2 --snapshot '1:" + unwritable + "'", errors);
    EXPECT_NE(failed.ExitCode, 0);
    EXPECT_NE(failed.Stderr.find(unwritable), std::string::npos) << failed.Stderr;
}

// A snapshot of a frame the run never reaches is refused, not a silent success.
TEST(CommandLine, ASnapshotBeyondTheLastFrameIsNotASilentSuccess) {
    TempFolder folder(false);
    const fs::path png = fs::path(folder.Folder()) / "late.png";
    for (const std::string frames : {"--frames 3", ""}) {
        SCOPED_TRACE(frames);
        const ProgramResult run =
            RunProgram(kProgram, "--headless " + frames + " --snapshot '5:" + png.string() + "'",
                       folder.Folder() + "stderr.txt");
        EXPECT_TRUE(run.ExitCode != 0 || IsPng(png)) << "exit " << run.ExitCode << ", no snapshot";
    }
}
