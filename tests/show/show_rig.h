// The show's test rig: a main form on the headless platform with a fixed
// random seed, driven frame by frame as the frame timer would, made and shown
// at once or on demand (after its audio was told to fail, on a spoilt copy
// of the asset folder, or for an invitation of its own); with that copy, pixel
// measures, and running the program itself.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "core/random.h"
#include "platform/audio_headless.h"
#include "platform/platform_services.h"
#include "render/direct_draw_surface.h"
#include "show/main_form.h"

namespace fs = std::filesystem;

// When the rig's form is made: at once on the build folder's assets and
// shown, ready for its first frame; or later, by Create.
enum class RigStart { Shown, Later };

struct ShowRig {
    explicit ShowRig(uint32_t Seed = 1, RigStart Start = RigStart::Shown) {
        SetRandomizeSource([Seed] { return Seed; });
        if (Start == RigStart::Shown) Create();
    }
    ~ShowRig() {
        Form.reset();
        SetRandomizeSource(nullptr);
    }
    // Builds the form for Content on the assets of Folder ("<Folder>graph/");
    // Show opens it, which initializes the display. May throw as start-up does.
    void Create(const std::string& Folder = FUIFJE_BUILD_DIR, bool Show = true) {
        Form = std::make_unique<TMainForm>(Platform, Audio, Folder, Content);
        if (Show) Form->Show();
    }
    // One tick of the frame timer; the number of frames presented so far.
    int Frame() {
        Form->DXTimerTimer(Form->DXTimer, 1);
        return Platform.HeadlessScreen->PresentCount();
    }
    // The back surface as the last frame left it.
    PixelView Back() const { return Form->DS->Surface()->View(); }
    const std::vector<HeadlessMessageBox::Message>& Messages() const {
        return Platform.HeadlessMessages->Shown();
    }

    Invitation Content; // the built-in invitation unless a test sets another before Create
    PlatformServices Platform = MakeHeadlessPlatform();
    HeadlessAudio Audio;
    std::unique_ptr<TMainForm> Form;
};

// A fresh folder under the system's temporary folder, removed with the object.
// With WithGraph it holds a copy of the build's asset folder as "graph/".
class TempFolder {
public:
    explicit TempFolder(bool WithGraph = true) {
        std::string pattern = (fs::temp_directory_path() / "fuifje-showtests-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
        FPath = pattern;
        if (WithGraph)
            fs::copy(fs::path(FUIFJE_BUILD_DIR) / "graph", FPath / "graph", fs::copy_options::recursive);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(FPath, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing slash, as the form takes it.
    std::string Folder() const { return FPath.string() + "/"; }
    fs::path Asset(const std::string& Name) const { return FPath / "graph" / Name; }
    // Replaces an asset file with Bytes.
    void WriteAsset(const std::string& Name, const std::string& Bytes) const {
        std::ofstream(Asset(Name), std::ios::binary | std::ios::trunc) << Bytes;
    }
    std::string ReadAsset(const std::string& Name) const {
        std::ifstream in(Asset(Name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    fs::path FPath;
};

// How many pixels differ between two views of the same size and format.
inline int DifferentPixels(const PixelView& A, const PixelView& B) {
    int count = 0;
    for (int y = 0; y < A.Height; ++y)
        for (int x = 0; x < A.Width; ++x)
            count += A.Read(x, y) != B.Read(x, y);
    return count;
}

// The darkest pixel's colour ($00BBGGRR) by the sum of its channels.
inline uint32_t DarkestColor(const PixelView& View) {
    uint32_t darkest = 0xFFFFFF;
    auto weight = [](uint32_t c) { return RedOf(c) + GreenOf(c) + BlueOf(c); };
    for (int y = 0; y < View.Height; ++y)
        for (int x = 0; x < View.Width; ++x) {
            const uint32_t color = UnpackColor(View.Format, View.Read(x, y));
            if (weight(color) < weight(darkest)) darkest = color;
        }
    return darkest;
}

// What a run of the program came to.
struct ProgramResult {
    int ExitCode = -1;
    std::string Stderr;
};

// Runs Program with Arguments (already shell-quoted where needed) on the dummy
// SDL drivers and collects its exit status and standard error.
inline ProgramResult RunProgram(const std::string& Program, const std::string& Arguments,
                                const std::string& ErrorFile) {
    const std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + Program + "' " + Arguments +
                                " >/dev/null 2>'" + ErrorFile + "'";
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(ErrorFile);
    result.Stderr.assign(std::istreambuf_iterator<char>(in), {});
    return result;
}
