// The program under a shrinking memory limit: whatever fails, std::bad_alloc
// included, is reported on standard error and ends the program with status 1;
// it never crashes.
#include <gtest/gtest.h>

#include "show/show_rig.h"

namespace {

constexpr int kLoaderFailed = 127; // the shell's status when the program could not even be loaded

} // namespace

TEST(OutOfMemory, TheProgramReportsItAndEndsWithStatusOne) {
    TempFolder folder(false);
    const std::string program = std::string(FUIFJE_BUILD_DIR) + "fuifje";
    int badAllocs = 0;
    // From too little to load the program to enough to run it, in steps of 8 MB of address space
    // (its shared libraries alone take some 40 MB of it to load).
    for (int limitKb = 16 * 1024; limitKb <= 320 * 1024; limitKb += 8 * 1024) {
        SCOPED_TRACE(limitKb);
        const std::string run = "-c 'ulimit -v " + std::to_string(limitKb) + " && exec \"" + program +
                                "\" --headless --frames 3'";
        const ProgramResult result = RunProgram("/bin/sh", run, folder.Folder() + "stderr.txt");
        if (result.ExitCode == kLoaderFailed) continue;
        ASSERT_TRUE(result.ExitCode == 0 || result.ExitCode == 1) << result.ExitCode << "\n" << result.Stderr;
        if (result.ExitCode == 1) {
            EXPECT_EQ(result.Stderr.rfind("Fuifje: ", 0), 0u) << result.Stderr;
        }
        badAllocs += result.Stderr == "Fuifje: Out of memory\n";
    }
    EXPECT_GT(badAllocs, 0) << "no limit ran out of memory inside the show";
}
