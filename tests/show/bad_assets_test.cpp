// Spoilt asset folders: a missing, empty, garbage or cut-short picture stops
// start-up with an error that names the file, in the form and in the program
// itself; a background too small for the blend is fitted instead.
#include <gtest/gtest.h>

#include "render/bitmap.h"
#include "render/picture.h"
#include "show/show_rig.h"

namespace {

// A 24-bit picture of that size, as a background that is too small.
void WritePicture(const fs::path& File, int Width, int Height) {
    TPicture picture;
    picture.Bitmap().SetPixelFormat(pf24bit);
    picture.Bitmap().SetSize(Width, Height);
    picture.SaveToFile(File.string());
}

struct SpoiltAsset {
    const char* Name;
    std::string File;
    std::function<void(const TempFolder&)> Spoil;
    std::string Message; // a part of the error's text besides the file name
};

} // namespace

TEST(BadAssets, StartUpStopsWithAnErrorNamingTheFile) {
    const SpoiltAsset cases[] = {
        {"missing picture", "star.bmp", [](const TempFolder& f) { fs::remove(f.Asset("star.bmp")); },
         "Cannot open file"},
        {"empty picture", "moon.bmp", [](const TempFolder& f) { f.WriteAsset("moon.bmp", ""); }, ""},
        {"garbage picture", "bootje.bmp",
         [](const TempFolder& f) { f.WriteAsset("bootje.bmp", "no bitmap here"); }, ""},
        {"header cut short", "bgnd_night.bmp",
         [](const TempFolder& f) {
             f.WriteAsset("bgnd_night.bmp", f.ReadAsset("bgnd_night.bmp").substr(0, 20));
         },
         ""},
        {"pixels cut short", "bgnd_day.bmp",
         [](const TempFolder& f) {
             f.WriteAsset("bgnd_day.bmp", f.ReadAsset("bgnd_day.bmp").substr(0, 5000));
         },
         ""},
    };
    for (const SpoiltAsset& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        c.Spoil(folder);
        ShowRig rig(1, RigStart::Later);
        try {
            rig.Create(folder.Folder());
            ADD_FAILURE() << "start-up went on";
        } catch (const Exception& error) {
            EXPECT_NE(error.Message.find(folder.Asset(c.File).string()), std::string::npos) << error.Message;
            EXPECT_NE(error.Message.find(c.Message), std::string::npos) << error.Message;
        }
        EXPECT_EQ(rig.Platform.HeadlessScreen->PresentCount(), 0);
    }
}

// A background smaller than the blended 800 x 340 is fitted to cover it, not refused.
TEST(BadAssets, SmallBackgroundsAreFittedNotRefused) {
    TempFolder folder;
    WritePicture(folder.Asset("bgnd_day.bmp"), 799, 600);
    WritePicture(folder.Asset("bgnd_night.bmp"), 800, 339);
    ShowRig rig(1, RigStart::Later);
    ASSERT_NO_THROW(rig.Create(folder.Folder()));
    TPictureCollection& images = rig.Form->ImageList->Items();
    for (const char* name : {"bgnd_day", "bgnd_night"}) {
        EXPECT_EQ(images.Items(images.Find(name))->Picture().Width(), 800) << name;
        EXPECT_GE(images.Items(images.Find(name))->Picture().Height(), 340) << name;
    }
    EXPECT_EQ(rig.Form->BlendList->Items().Count(), 26);
}

// The sun is first needed at dawn: the stage switch raises the loader's error.
TEST(BadAssets, AMissingSunStopsTheSwitchToDawn) {
    TempFolder folder;
    fs::remove(folder.Asset("sun.bmp"));
    ShowRig rig(1, RigStart::Later);
    ASSERT_NO_THROW(rig.Create(folder.Folder()));
    try {
        rig.Form->SetStage(1);
        ADD_FAILURE() << "dawn began without a sun";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message.find(folder.Asset("sun.bmp").string()), std::string::npos) << error.Message;
    }
}

TEST(BadAssets, TheProgramExitsWithTheFileNameOnStandardError) {
    TempFolder folder;
    const fs::path program = fs::path(folder.Folder()) / "fuifje";
    fs::copy_file(fs::path(FUIFJE_BUILD_DIR) / "fuifje", program);
    fs::remove(folder.Asset("bootje.bmp"));
    const ProgramResult result =
        RunProgram(program.string(), "--headless --frames 1", folder.Folder() + "stderr.txt");
    EXPECT_NE(result.ExitCode, 0);
    EXPECT_NE(result.Stderr.find(folder.Asset("bootje.bmp").string()), std::string::npos) << result.Stderr;
}
