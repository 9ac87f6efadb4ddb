// fuifje --export: short invitations exported by the program itself and read
// back with FFmpeg (streams, frame rate, frame count, sound as long as the
// picture, a frame against its --snapshot), the progress lines, the default
// length from the show's schedule, a missing music file, and the faults that
// must leave no file behind: Ctrl-C, SIGTERM, a folder it may not write in
// and a full disk.
#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/pixel_buffer.h"
#include "platform/video_facts.h"
#include "platform/yuv_convert.h"
#include "show/export_length.h"
#include "show/show_rig.h"

extern char** environ;

namespace {

const std::string kProgram = std::string(FUIFJE_BUILD_DIR) + "fuifje";

// The files in Folder, by name.
std::vector<std::string> FilesIn(const fs::path& Folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A PNG snapshot converted to yuv420p as the encoder converts frames.
void SnapshotPlanes(const std::string& File, std::vector<uint8_t> (&Planes)[3]) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    PixelBuffer picture;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, File.c_str())) << File;
    png.format = PNG_FORMAT_BGR;
    ASSERT_TRUE(picture.Create(int(png.width), int(png.height), PixelFormat::Bgr24));
    const PixelView view = picture.View();
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, view.Data, int(view.Stride), nullptr)) << File;
    const int w = view.Width, h = view.Height;
    Planes[0].assign(size_t(w) * h, 0);
    Planes[1].assign(size_t(w / 2) * (h / 2), 0);
    Planes[2].assign(size_t(w / 2) * (h / 2), 0);
    ConvertToYuv420(view,
                    YuvPlanes{{Planes[0].data(), Planes[1].data(), Planes[2].data()}, {w, w / 2, w / 2}});
}

// The program started with Arguments and standard error into ErrorFile; its process id.
pid_t Start(const std::vector<std::string>& Arguments, const std::string& ErrorFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, ErrorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>(kProgram.c_str())};
    for (const std::string& argument : Arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    posix_spawn(&pid, kProgram.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace

TEST(VideoExport, AShortInvitationReadsBackFrameForFrame) {
    TempFolder folder(false);
    const fs::path video = fs::path(folder.Folder()) / "party.mp4";
    const fs::path snapshot = fs::path(folder.Folder()) / "frame.png";
    const std::string errors = folder.Folder() + "stderr.txt";
    const ProgramResult run = RunProgram(kProgram, "--export '" + video.string() + "' --seconds 9", errors);
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    // Not a terminal: one plain line per tenth, then the closing line.
    for (const char* tenth :
         {"10% (30 of 300 frames)", "50% (150 of 300 frames)", "100% (300 of 300 frames)"})
        EXPECT_NE(run.Stderr.find(tenth), std::string::npos) << run.Stderr;
    EXPECT_NE(run.Stderr.find("0:09 long"), std::string::npos) << run.Stderr;

    // Frame 280 (the boat sets off at 250) as the video shows it and as --snapshot draws it.
    const VideoFacts f = ReadVideo(video.string(), 280 - 1);
    ASSERT_EQ(RunProgram(kProgram,
                         "--headless --seed 1 --frames 280 --snapshot '280:" + snapshot.string() + "'",
                         errors)
                  .ExitCode,
              0);
    EXPECT_EQ(FilesIn(folder.Folder()), (std::vector<std::string>{"frame.png", "party.mp4", "stderr.txt"}));
    EXPECT_EQ(f.Video.Codec, "h264");
    EXPECT_EQ(f.Video.Profile, FF_PROFILE_H264_HIGH);
    EXPECT_EQ(f.Video.Format, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(f.Video.Rate.num * 3, f.Video.Rate.den * 100) << f.Video.Rate.num << "/" << f.Video.Rate.den;
    EXPECT_EQ(f.Video.Decoded, 300);
    EXPECT_DOUBLE_EQ(f.Video.Seconds, 9.0);
    EXPECT_EQ(f.Audio.Codec, "aac");
    EXPECT_NEAR(f.Audio.Seconds, f.Video.Seconds, 0.03);
    EXPECT_GT(f.Audio.Peak, 0.05); // the soundtrack, not silence
    EXPECT_TRUE(f.IndexFirst);
    std::vector<uint8_t> drawn[3];
    SnapshotPlanes(snapshot.string(), drawn);
    EXPECT_GE(Psnr(f.Planes, drawn), 40.0);

    // .webm picks the WebM exporter.
    const fs::path webm = fs::path(folder.Folder()) / "party.webm";
    ASSERT_EQ(RunProgram(kProgram, "--export '" + webm.string() + "' --seconds 0.5", errors).ExitCode, 0);
    const VideoFacts w = ReadVideo(webm.string());
    EXPECT_EQ(w.Video.Codec, "vp9");
    EXPECT_EQ(w.Audio.Codec, "opus");
    EXPECT_EQ(w.Video.Decoded, 17);
}

// Ctrl-C and SIGTERM: the export stops at once, removes its file and says how it ended.
TEST(VideoExport, StopsCleanlyOnCtrlCAndSigterm) {
    for (const auto& [stop, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        SCOPED_TRACE(status);
        TempFolder folder(false);
        const fs::path video = fs::path(folder.Folder()) / "party.mp4";
        const fs::path errors = fs::temp_directory_path() / "fuifje-stop-stderr.txt";
        const pid_t pid = Start({"--export", video.string(), "--seconds", "600"}, errors.string());
        ASSERT_GT(pid, 0);
        // Stop it once its first frames are in the file.
        for (int i = 0; i < 200 && FilesIn(folder.Folder()).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(pid, stop);
        const auto stopped = std::chrono::steady_clock::now();
        int wait = 0;
        while (waitpid(pid, &wait, WNOHANG) == 0 &&
               std::chrono::steady_clock::now() - stopped < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - stopped).count();
        ASSERT_TRUE(WIFEXITED(wait)) << "still running or killed " << seconds << " s after the signal";
        EXPECT_EQ(WEXITSTATUS(wait), status);
        EXPECT_LT(seconds, 5.0); // a generous bound for a loaded machine; it takes a few frames
        EXPECT_TRUE(FilesIn(folder.Folder()).empty());
        fs::remove(errors);
    }
}

// Each fault: one message naming the file, status 1, and nothing left in the folder.
TEST(VideoExport, AFolderItCannotWriteAndAFullDiskLeaveNothing) {
    TempFolder folder(false);
    fs::permissions(folder.Folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
    const fs::path locked = fs::path(folder.Folder()) / "locked";
    const fs::path small = fs::path(folder.Folder()) / "small";
    fs::create_directories(locked);
    fs::create_directories(small);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    // Root may write anywhere: the locked folder is tried as nobody.
    const std::string asSomeoneElse =
        geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    struct Fault {
        std::string Command; // run by the shell
        fs::path Video;
        const char* Reason;
    };
    const Fault faults[] = {
        {asSomeoneElse + "'" + kProgram + "' --export '" + (locked / "party.mp4").string() + "' --seconds 1",
         locked / "party.mp4", "Permission denied"},
        {"'" + kProgram + "' --export '" + (fs::path(folder.Folder()) / "no" / "party.mp4").string() +
             "' --seconds 1",
         fs::path(folder.Folder()) / "no" / "party.mp4", "No such file or directory"},
        // A disk that is full after 64 KiB, as a file-size limit makes it.
        {"ulimit -f 64; '" + kProgram + "' --export '" + (small / "party.mp4").string() + "' --seconds 20",
         small / "party.mp4", "File too large"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.Command);
        const fs::path errors = fs::temp_directory_path() / "fuifje-fault-stderr.txt";
        const int status = std::system((fault.Command + " 2>'" + errors.string() + "'").c_str());
        std::ifstream in(errors);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << text;
        EXPECT_NE(text.find("Cannot write \"" + fault.Video.string() + "\": " + fault.Reason),
                  std::string::npos)
            << text;
        fs::remove(errors);
    }
    EXPECT_TRUE(FilesIn(locked).empty());
    EXPECT_TRUE(FilesIn(small).empty());
}

// A music file that cannot be read: the video is made, silent, with a warning naming the file.
TEST(VideoExport, WithoutItsMusicTheVideoIsSilent) {
    TempFolder folder(false);
    const fs::path invitation = fs::path(folder.Folder()) / "party.toml";
    const fs::path music = fs::path(folder.Folder()) / "gone.mp3";
    std::ofstream(invitation) << "[pictures]\nmusic = \"" << music.string() << "\"\n";
    const fs::path video = fs::path(folder.Folder()) / "party.mp4";
    const ProgramResult run =
        RunProgram(kProgram, "--export '" + video.string() + "' --seconds 1 '" + invitation.string() + "'",
                   folder.Folder() + "stderr.txt");
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_NE(run.Stderr.find("Cannot read the music \"" + music.string() + "\""), std::string::npos)
        << run.Stderr;
    const VideoFacts f = ReadVideo(video.string());
    EXPECT_EQ(f.Audio.Codec, "aac");
    EXPECT_NEAR(f.Audio.Seconds, f.Video.Seconds, 0.03);
    EXPECT_LT(f.Audio.Peak, 0.001);
}

// By default an export ends two seconds after the date and time come to rest,
// or with the music when that is later: that frame is the show's own.
TEST(VideoExport, TheDefaultLengthFollowsTheSchedule) {
    ShowRig rig(1, RigStart::Later);
    rig.Content.FirstYear = rig.Content.LastYear = 2010; // one caption: the date comes early
    rig.Create();
    TMainForm& form = *rig.Form;
    int inPlace = 0;
    for (int frame = 1; frame <= 3000 && !inPlace; ++frame) {
        rig.Frame();
        if (form.DateSlide->Visible && !form.DateSlide->Enabled && form.DateSlide->Value == 10)
            inPlace = frame;
    }
    EXPECT_EQ(inPlace, DateInPlaceFrame(rig.Content));
    EXPECT_EQ(ExportFrames(rig.Content, -1), inPlace + 67); // 2 s are 66.7 frames
    EXPECT_EQ(ExportFrames(rig.Content, 600000), 20000);    // ten minutes of music
    // The built-in invitation: its 3:55 of music outlast the date (frame 7172) and two seconds.
    EXPECT_EQ(ExportFrames(Invitation(), 235049), 7835);
    EXPECT_EQ(DateInPlaceFrame(Invitation()), 7172);
}
