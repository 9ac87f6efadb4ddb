// Finding the built-in pictures and music: "graph/" beside a program in its
// build folder first, then the installed data folder relative to the program;
// with neither, one error that names both places.
#include <gtest/gtest.h>

#include "core/exception.h"
#include "show/data_folder.h"
#include "show/show_rig.h"

TEST(DataFolder, BuildFolderFirstThenInstalledElseAnErrorNamingBoth) {
    TempFolder prefix(false);
    const fs::path bin = fs::path(prefix.Folder()) / "bin";
    const fs::path installed = fs::path(prefix.Folder()) / "share" / "fuifje";
    fs::create_directories(bin);
    const std::string programFolder = bin.string() + "/";

    try {
        DataFolder(programFolder);
        ADD_FAILURE() << "found a data folder in an empty prefix";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message.find('"' + (bin / "graph").string() + "/\""), std::string::npos)
            << error.Message;
        EXPECT_NE(error.Message.find('"' + installed.string() + "/\""), std::string::npos) << error.Message;
        EXPECT_EQ(error.Message.find('\n'), std::string::npos) << "one line";
    }

    fs::create_directories(installed);
    EXPECT_EQ(DataFolder(programFolder), installed.string() + "/");
    fs::create_directories(bin / "graph");
    EXPECT_EQ(DataFolder(programFolder), (bin / "graph").string() + "/");
}
