// The invitation file: what the reader refuses (each with its file, line and
// column), what it takes from a file, the printed built-in invitation read
// back as the same value and played back frame for frame as the built-in show,
// and the program's exit status for a bad file.
#include <gtest/gtest.h>

#include "show/data_folder.h"
#include "show/invitation_printer.h"
#include "show/invitation_reader.h"
#include "show/show_rig.h"

namespace {

const std::string kProgram = std::string(FUIFJE_BUILD_DIR) + "fuifje";

// The message ParseInvitation gives for Text, or "" when it is accepted.
std::string Refusal(const std::string& Text) {
    try {
        ParseInvitation(Text, "/party/invite.toml");
    } catch (const EInvitationError& error) {
        return error.what();
    }
    return "";
}

std::string Repeated(const std::string& Item, size_t Count) {
    std::string text;
    for (size_t i = 0; i < Count; ++i)
        text += Item;
    return text;
}

std::string ReadFile(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(InvitationFile, RefusesWhatTheShowCannotPlayNamingFileLineAndColumn) {
    struct Refused {
        const char* Name;
        std::string Text;
        std::string Where; // file:line:column
        std::string Says;
    };
    const Refused cases[] = {
        {"unknown key", "title = \"x\"\ncolour = 2\n", ":2:1:", "unknown key \"colour\""},
        {"unknown picture", "[pictures]\n  sky = \"a.png\"\n", ":2:3:", "unknown key \"sky\""},
        {"wrong type", "first_year = \"1975\"\n", ":1:14:", "first_year must be a whole number, not a text"},
        {"a time for a text", "time = 18:00:00\n", ":1:8:", "time must be a text"},
        {"a line that is no text", "lines = [\"a\",\n  3]\n", ":2:3:", "line 2 must be a text"},
        {"pictures as a text", "pictures = \"p\"\n", ":1:12:", "pictures must be a table"},
        {"invalid UTF-8", "title = \"ok\"\ndate = \"\xC3\x28\"\n", ":2:", "utf-8"},
        {"cut-off UTF-8", "date = \"\xE2\x82\"\n", ":1:", "utf-8"},
        // Characters beyond ASCII outside quotes: toml++ 3.3 reaches undefined behaviour on most (see the
        // reader).
        {"an accent as a value", "# Léo's\nlines = [\"ok\"] # é\ntitle = Léo\n", ":3:9:", "value"},
        {"an accent in a key", "lineé = 1\n", ":1:5:", "saw 'é'"},
        {"an accent after a misspelt value", "lines = 2\"/[é€𝄞 x\",\n", ":1:", ""},
        {"empty lines", "lines = []\n", ":1:9:", "lines is empty"},
        {"years the wrong way round", "first_year = 2000\nlast_year = 1999\n", ":2:13:", "wrong way round"},
        {"first year after the built-in last", "first_year = 2011\n", ":1:14:", "wrong way round"},
        {"too many lines", "lines = [" + Repeated("\"a\",", 101) + "]\n", ":1:", "at most 100"},
        {"too long a line", "lines = [\"" + Repeated("é", 201) + "\"]\n", ":1:10:", "at most 200"},
        {"too many years", "first_year = 1\nlast_year = 201\n", ":2:13:", "at most 200"},
        {"too long a date", "date = \"" + Repeated("ü", 25) + "\"\n", ":1:8:", "at most 24"},
        {"a year past the limit", "last_year = 3000000000\n", ":1:13:", "outside"},
        {"a control character", "title = \"a\\u0007b\"\n", ":1:9:", "control character"},
        {"no file named", "[pictures]\nsun = \"\"\n", ":2:7:", "names no file"},
        {"not TOML", "title = \n", ":1:", ""},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string message = Refusal(c.Text);
        EXPECT_EQ(message.rfind("/party/invite.toml" + c.Where, 0), 0u) << message;
        EXPECT_NE(message.find(c.Says), std::string::npos) << message;
    }
    // The limits themselves are fine, counted in characters, not bytes.
    EXPECT_EQ(Refusal("lines = [\"" + Repeated("€", 200) + "\"]\ndate = \"" + Repeated("ñ", 24) +
                      "\"\nfirst_year = 1\nlast_year = 200\n"),
              "");
    // Characters beyond ASCII in every kind of text and in comments are fine.
    EXPECT_EQ(
        Refusal("# é\ntitle = 'é \"'\ndate = \"\\\"é\"\ntime = '''\né'''\nlines = [\"\"\"\né\"\"\"] # ü\n"),
        "");
}

TEST(InvitationFile, KeysReplaceTheBuiltInOnesAndFilesAreRelativeToTheFile) {
    const Invitation read = ParseInvitation("title = \"Léo\"\nlines = [\"/2Bonjour\"]\nfirst_year = 2024\n"
                                            "last_year = 2024\n[pictures]\nsun = \"pics/sun.png\"\n"
                                            "night = \"/abs/night.jpg\"\nmusic = \"../tune.ogg\"\n",
                                            "/party/invite.toml");
    Invitation expected;
    expected.Title = "Léo";
    expected.Lines = {"/2Bonjour"};
    expected.FirstYear = expected.LastYear = 2024;
    expected.Files.Sun = "/party/pics/sun.png";
    expected.Files.Night = "/abs/night.jpg";
    expected.Files.Music = "/tune.ogg";
    EXPECT_EQ(read, expected);
    EXPECT_EQ(ParseInvitation("# nothing but a comment\n", "x.toml"), Invitation());
}

TEST(InvitationFile, ThePrintedInvitationReadsBackAsTheSameValue) {
    const Invitation builtIn = WithAbsoluteFiles(Invitation(), DataFolder(FUIFJE_BUILD_DIR));
    EXPECT_EQ(ParseInvitation(PrintInvitation(builtIn), "/anywhere/copy.toml"), builtIn);
    // Quotes, backslashes and characters of every UTF-8 length survive the round trip.
    Invitation own = builtIn;
    own.Title = "\"Q\" \\ ñ € 𝄞";
    own.Lines = {"/3say \"hi\"", "C:\\party", ""};
    own.Date = "ß 𝄞";
    EXPECT_EQ(ParseInvitation(PrintInvitation(own), "/anywhere/copy.toml"), own);
}

// The printed built-in invitation, saved anywhere, plays the built-in show frame for frame.
TEST(InvitationProgram, ThePrintedBuiltInInvitationPlaysTheSameFrames) {
    TempFolder folder(false);
    const std::string errors = folder.Folder() + "stderr.txt";
    const std::string printed = folder.Folder() + "builtin.toml";
    ASSERT_EQ(std::system(("'" + kProgram + "' --print-invitation >'" + printed + "'").c_str()), 0);
    for (const std::string& file : {std::string(), printed}) {
        const std::string name = file.empty() ? "plain" : "printed";
        const ProgramResult run = RunProgram(
            kProgram,
            "--headless --seed 1 --frames 2500 --snapshot '1300:" + folder.Folder() + name +
                "1300.png' --snapshot '2500:" + folder.Folder() + name + "2500.png' '" + file + "'",
            errors);
        ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    }
    for (const char* frame : {"1300.png", "2500.png"})
        EXPECT_EQ(ReadFile(folder.Folder() + "plain" + frame), ReadFile(folder.Folder() + "printed" + frame))
            << frame;
}

TEST(InvitationProgram, ABadFileEndsTheProgramWithStatus2NamingTheFile) {
    TempFolder folder(false);
    const std::string bad = folder.Folder() + "bad.toml";
    std::ofstream(bad) << "title = \"x\"\nlines = [\n]\n";
    // No --headless: the program stops before it opens a window.
    const ProgramResult run =
        RunProgram(kProgram, "--invitation '" + bad + "'", folder.Folder() + "stderr.txt");
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Stderr.find(bad + ":2:9: lines is empty"), std::string::npos) << run.Stderr;
    const ProgramResult missing =
        RunProgram(kProgram, "'" + folder.Folder() + "none.toml'", folder.Folder() + "e.txt");
    EXPECT_EQ(missing.ExitCode, 2);
    EXPECT_NE(missing.Stderr.find("none.toml: no such file"), std::string::npos) << missing.Stderr;
}
