#include "platform/presenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/display_modes.h"
#include "platform/message_box.h"
#include "platform/pixel_buffer.h"
#include "platform/png_writer.h"
#include "platform/presenter_headless.h"
#include "platform/presenter_sdl.h"

namespace {

// Puts environment variables back as they were when it goes.
class EnvironmentScope {
public:
    explicit EnvironmentScope(std::initializer_list<const char*> Names) {
        for (const char* name : Names) {
            const char* value = std::getenv(name);
            FSaved.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
        }
    }
    ~EnvironmentScope() {
        for (const auto& [name, value] : FSaved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

std::string Row(const PixelBuffer& B, int Y) {
    std::string s;
    for (int x = 0; x < B.Width(); ++x)
        s += B.View().Read(x, Y) ? '#' : '.';
    return s;
}

TEST(HeadlessPresenter, KeepsTheLastFrameInItsTargetWithBlackAround) {
    HeadlessPresenter screen;
    PixelBuffer frame;
    ASSERT_TRUE(frame.Create(2, 2, PixelFormat::Rgb565));
    frame.Fill(0xFFFF);
    screen.Present(frame.View(), Rect(0, 0, 2, 2), 2, 2, true);
    EXPECT_EQ(screen.PresentCount(), 0); // closed: nothing shown

    screen.Open("ZQ");
    screen.Present(frame.View(), Rect(3, 1, 5, 3), 8, 4, true);
    EXPECT_EQ(Row(screen.LastFrame(), 0), "........");
    EXPECT_EQ(Row(screen.LastFrame(), 1), "...##...");
    screen.Present(frame.View(), Rect(-1, 0, 3, 4), 8, 4, false); // stretched, clipped
    EXPECT_EQ(Row(screen.LastFrame(), 1), "###.....");
    EXPECT_EQ(screen.PresentCount(), 2);
    EXPECT_EQ(screen.Caption(), "ZQ");
}

TEST(PngWriter, WritesSnapshotsAndNamesTheFileWhenItCannot) {
    HeadlessPresenter screen;
    const std::string file = ::testing::TempDir() + "fuifje_snapshot.png";
    try {
        screen.SaveFrame(file);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find(file), std::string::npos) << e.Message;
    }
    screen.Open("ZQ");
    PixelBuffer frame;
    ASSERT_TRUE(frame.Create(3, 2, PixelFormat::Rgb565));
    screen.Present(frame.View(), Rect(0, 0, 3, 2), 300, 2, true);
    screen.SaveFrame(file);
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    // The header chunk: width 300, height 2, big-endian.
    EXPECT_EQ(bytes[18] * 256 + bytes[19], 300);
    EXPECT_EQ(bytes[23], 2);
    std::remove(file.c_str());

    const std::string bad = "/nonexistent-folder/x.png";
    try {
        WritePng(bad, frame.View());
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message.rfind("Cannot write \"" + bad + "\": ", 0), 0u) << e.Message;
    }
}

TEST(ClassicDisplayModes, OffersTheClassicModesThatFitTheDesktop) {
    HeadlessPresenter wide(DisplayMode{1366, 768, 32});
    ClassicDisplayModes modes(wide);
    const auto list = modes.Modes();
    auto offered = [&](DisplayMode M) { return std::find(list.begin(), list.end(), M) != list.end(); };
    EXPECT_TRUE(offered({800, 600, 16}));
    EXPECT_TRUE(offered({1024, 768, 24}));
    EXPECT_TRUE(offered({1366, 768, 32})); // the desktop itself
    EXPECT_FALSE(offered({1280, 960, 16}));
    EXPECT_FALSE(offered({800, 600, 8})); // no palette modes
    EXPECT_EQ(list.size(), 5u * 3u);
    EXPECT_TRUE(modes.SetMode({800, 600, 16}));
    EXPECT_FALSE(modes.SetMode({1920, 1080, 16}));
}

TEST(HeadlessMessageBox, RecordsAndReportsOnStandardError) {
    HeadlessMessageBox box;
    ::testing::internal::CaptureStderr();
    box.ShowError("Error", "Error creating stream! (2)");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Error creating stream! (2)\n");
    EXPECT_EQ(box.Shown(),
              (std::vector<HeadlessMessageBox::Message>{{"Error", "Error creating stream! (2)"}}));
}

TEST(SdlPresenter, OpensOnTheDummyDriverAndReportsAMissingDisplay) {
    {
        SdlPresenter screen(PresenterOptions{false, 800, 600});
        screen.Open("ZQ");
        ASSERT_TRUE(screen.IsOpen());
        EXPECT_GT(screen.DesktopMode().Width, 0);
        EXPECT_EQ(screen.DesktopMode().BitCount % 8, 0);
        PixelBuffer frame;
        ASSERT_TRUE(frame.Create(800, 600, PixelFormat::Rgb565));
        for (int i = 0; i < 3; ++i)
            screen.Present(frame.View(), Rect(0, 0, 800, 600), 800, 600, i != 1);
    }
    // A driver that cannot start, and no window system at all (SDL would fall
    // back to a driver that shows nothing): one line saying so.
    const EnvironmentScope scope({"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"});
    for (const char* driver : {"no-such-driver", ""}) {
        if (*driver) {
            setenv("SDL_VIDEODRIVER", driver, 1);
        } else {
            unsetenv("SDL_VIDEODRIVER");
        }
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        SdlPresenter screen;
        try {
            screen.Open("ZQ");
            ADD_FAILURE() << driver;
        } catch (const EPresenterError& e) {
            EXPECT_EQ(e.Message.rfind("No display available: ", 0), 0u) << e.Message;
            EXPECT_EQ(e.Message.find('\n'), std::string::npos);
        }
        EXPECT_FALSE(screen.IsOpen());
    }
}

using SavedFrame = std::vector<std::vector<uint32_t>>;

// A frame SDL's dummy driver saved (SDL_VIDEO_DUMMY_SAVE_FRAMES) as
// 0x00RRGGBB words, top row first; empty when it cannot be read.
SavedFrame ReadSavedFrame(const std::filesystem::path& File) {
    std::ifstream in(File, std::ios::binary);
    const std::vector<uint8_t> bmp{std::istreambuf_iterator<char>(in), {}};
    if (bmp.size() < 54) return {};
    auto number = [&](size_t At) {
        return int(bmp[At] | bmp[At + 1] << 8 | bmp[At + 2] << 16 | bmp[At + 3] << 24);
    };
    const int offset = number(10), width = number(18), height = number(22), step = bmp[28] / 8;
    const size_t stride = (size_t(width) * step + 3) & ~size_t(3);
    std::vector<std::vector<uint32_t>> rows(size_t(height), std::vector<uint32_t>(size_t(width), 0));
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bmp.data() + offset + stride * size_t(height - 1 - y); // bottom-up
        for (int x = 0; x < width; ++x)
            rows[size_t(y)][size_t(x)] =
                uint32_t(row[x * step] | row[x * step + 1] << 8 | row[x * step + 2] << 16);
    }
    return rows;
}

// Presents the frames Paint draws (Paint(frame, I) for I = 0 .. Count - 1) in a
// Width x Height window on SDL's dummy driver, without a graphics card, and
// returns each as the driver saved it.
template <class F> std::vector<SavedFrame> PresentInWindow(int Width, int Height, int Count, F Paint) {
    char folder[] = "/tmp/fuifje-present-XXXXXX";
    EXPECT_NE(mkdtemp(folder), nullptr);
    const EnvironmentScope scope({"SDL_VIDEO_DUMMY_SAVE_FRAMES"});
    setenv("SDL_VIDEO_DUMMY_SAVE_FRAMES", "1", 1);
    char* here = getcwd(nullptr, 0);
    EXPECT_EQ(chdir(folder), 0); // the dummy driver saves its frames in the working folder
    {
        SdlPresenter screen(PresenterOptions{false, Width, Height});
        screen.Open("ZQ");
        PixelBuffer frame;
        EXPECT_TRUE(frame.Create(800, 600, PixelFormat::Rgb565));
        for (int i = 0; i < Count; ++i) {
            Paint(frame, i);
            screen.Present(frame.View(), Rect(0, 0, 800, 600), 800, 600, true);
        }
    }
    // Named by the window and a count that goes on across windows: in order.
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<SavedFrame> saved;
    for (const auto& file : files)
        saved.push_back(ReadSavedFrame(file));
    EXPECT_EQ(chdir(here), 0);
    free(here);
    std::filesystem::remove_all(folder);
    return saved;
}

void Fill(PixelBuffer& Frame, const TRect& Area, uint32_t Color) {
    Frame.FillRect(Area, PackColor(PixelFormat::Rgb565, Color));
}

// Without a graphics card the frame goes straight into the window's pixels:
// letterboxed with its aspect kept, its 5-6-5 colours widened as everywhere
// else, and a frame whose lower part alone changed shows the change with the
// rest kept.
TEST(SdlPresenter, ShowsFramesInTheWindowsPixelsLetterboxed) {
    const auto frames = PresentInWindow(1000, 600, 2, [](PixelBuffer& Frame, int I) {
        if (I == 1) return Fill(Frame, Rect(0, 500, 800, 600), RGB(255, 255, 255));
        Fill(Frame, Rect(0, 0, 400, 600), RGB(255, 0, 0));
        Fill(Frame, Rect(400, 0, 800, 600), RGB(0, 0, 255));
        Fill(Frame, Rect(0, 300, 800, 301), RGB(0, 255, 0));
    });
    ASSERT_EQ(frames.size(), 2u);
    const SavedFrame &first = frames[0], &second = frames[1];
    ASSERT_EQ(first.size(), 600u);
    ASSERT_EQ(second.size(), 600u);
    EXPECT_EQ(first[10][99], 0u);          // the bar left of the picture
    EXPECT_EQ(first[10][100], 0xFF0000u);  // its first column
    EXPECT_EQ(first[10][899], 0x0000FFu);  // its last
    EXPECT_EQ(first[599][900], 0u);        // the bar right of it
    EXPECT_EQ(first[300][500], 0x00FF00u); // one frame row, one window row
    EXPECT_EQ(second[300][500], 0x00FF00u);
    EXPECT_EQ(second[499][150], 0xFF0000u);
    EXPECT_EQ(second[500][150], 0xFFFFFFu);
    EXPECT_EQ(second[599][899], 0xFFFFFFu);
    EXPECT_EQ(second[599][950], 0u);
}

// Scaled up by one and a half, a small square that moves is written where it
// is and where it was, to the window column, and the rest of its rows kept.
TEST(SdlPresenter, ShowsWhatMovedInAScaledWindow) {
    const auto frames = PresentInWindow(1200, 900, 3, [](PixelBuffer& Frame, int I) {
        Fill(Frame, Rect(0, 0, 800, 600), RGB(255, 0, 0));
        if (I > 0) Fill(Frame, Bounds(I == 1 ? 400 : 600, 300, 40, 40), RGB(255, 255, 255));
    });
    ASSERT_EQ(frames.size(), 3u);
    ASSERT_EQ(frames[1].size(), 900u);
    ASSERT_EQ(frames[2].size(), 900u);
    // Frame column 400 shows in window columns 600 and up, 440 from 660 on;
    // frame row 320 in window row 480.
    EXPECT_EQ(frames[1][480][599], 0xFF0000u);
    EXPECT_EQ(frames[1][480][600], 0xFFFFFFu);
    EXPECT_EQ(frames[1][480][659], 0xFFFFFFu);
    EXPECT_EQ(frames[1][480][660], 0xFF0000u);
    EXPECT_EQ(frames[1][449][630], 0xFF0000u); // above it: frame row 299
    EXPECT_EQ(frames[1][450][630], 0xFFFFFFu);
    EXPECT_EQ(frames[2][480][630], 0xFF0000u); // where it was
    EXPECT_EQ(frames[2][480][930], 0xFFFFFFu); // where it is
    EXPECT_EQ(frames[2][509][930], 0xFFFFFFu); // a window row repeating frame row 339
    EXPECT_EQ(frames[2][510][930], 0xFF0000u);
}

} // namespace
