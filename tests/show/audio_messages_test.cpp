// The soundtrack's audio calls and the messages that report their failures:
// the exact texts and their order, the halt on a wrong library version, the
// show going on without music otherwise, and the release calls at closing.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "show/show_rig.h"

namespace {

using Messages = std::vector<HeadlessMessageBox::Message>;

HeadlessMessageBox::Message AudioError(const std::string& Text, int32_t Code) {
    return {"Error", Text + "\r\n(Error code: " + std::to_string(Code) + ")"};
}

struct AudioCase {
    const char* Name;
    std::optional<AudioCall> Failing;
    int32_t Code;
    std::vector<std::string> StartCalls; // "<mp3>" stands for the soundtrack's path
    Messages Shown;
    uint32_t Stream;
};

std::vector<std::string> WithPath(std::vector<std::string> Calls, const std::string& Path) {
    for (std::string& call : Calls)
        if (call == "StreamCreateFile(<mp3>)") call = "StreamCreateFile(" + Path + ")";
    return Calls;
}

} // namespace

TEST(AudioMessages, EachFailureIsReportedInOrderAndTheShowGoesOn) {
    const std::string mp3 = std::string(FUIFJE_BUILD_DIR) + "graph/soundtrack.mp3";
    const AudioCase cases[] = {
        {"all well",
         std::nullopt,
         0,
         {"GetVersion()", "Init(-1, 44100)", "StreamCreateFile(<mp3>)", "ChannelPlay(1, false)"},
         {},
         1},
        {"init fails: the stream call fails after it",
         AudioCall::Init,
         kAudioErrorDriver,
         {"GetVersion()", "Init(-1, 44100)", "ErrorGetCode()", "StreamCreateFile(<mp3>)", "ErrorGetCode()"},
         {AudioError("Error initializing audio!", kAudioErrorDriver),
          AudioError("Error creating stream!", kAudioErrorInit)},
         0},
        {"stream fails: reported once, nothing is played",
         AudioCall::StreamCreateFile,
         kAudioErrorFileFormat,
         {"GetVersion()", "Init(-1, 44100)", "StreamCreateFile(<mp3>)", "ErrorGetCode()"},
         {AudioError("Error creating stream!", kAudioErrorFileFormat)},
         0},
        {"play fails",
         AudioCall::ChannelPlay,
         kAudioErrorUnknown,
         {"GetVersion()", "Init(-1, 44100)", "StreamCreateFile(<mp3>)", "ChannelPlay(1, false)",
          "ErrorGetCode()"},
         {AudioError("Error playing stream!", kAudioErrorUnknown)},
         1},
    };
    for (const AudioCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ShowRig rig(1, RigStart::Later);
        if (c.Failing) rig.Audio.FailCall(*c.Failing, c.Code);
        ASSERT_NO_THROW(rig.Create());
        EXPECT_EQ(rig.Audio.Calls(), WithPath(c.StartCalls, mp3));
        EXPECT_EQ(rig.Messages(), c.Shown);
        EXPECT_EQ(rig.Form->MusicStream, c.Stream);
        EXPECT_EQ(rig.Frame(), 1);
        EXPECT_EQ(rig.Frame(), 2);

        rig.Audio.ClearFailures();
        rig.Form->Close();
        const std::vector<std::string>& calls = rig.Audio.Calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2], "StreamFree(" + std::to_string(c.Stream) + ")");
        EXPECT_EQ(calls.back(), "Free()");
    }
}

TEST(AudioMessages, WrongLibraryVersionHaltsBeforeTheFormIsShown) {
    ShowRig rig(1, RigStart::Later);
    rig.Audio.FailCall(AudioCall::GetVersion, kAudioErrorUnknown);
    EXPECT_THROW(rig.Create(), ProgramHalt);
    EXPECT_EQ(rig.Messages(), (Messages{AudioError("BASS version 2.2 was not loaded!", kAudioErrorUnknown)}));
    EXPECT_EQ(rig.Audio.Calls(), (std::vector<std::string>{"GetVersion()", "ErrorGetCode()"}));
    EXPECT_FALSE(rig.Platform.Screen->IsOpen());
    EXPECT_EQ(rig.Platform.HeadlessScreen->PresentCount(), 0);
}

TEST(AudioMessages, AnUnplayableSoundtrackIsReportedOnceAndTheShowRunsSilently) {
    struct Case {
        const char* Name;
        std::function<void(const TempFolder&)> Spoil;
        int32_t Code;
    };
    const Case cases[] = {
        {"missing", [](const TempFolder& f) { fs::remove(f.Asset("soundtrack.mp3")); }, kAudioErrorFileOpen},
        {"empty", [](const TempFolder& f) { f.WriteAsset("soundtrack.mp3", ""); }, kAudioErrorFileFormat},
        {"not audio", [](const TempFolder& f) { f.WriteAsset("soundtrack.mp3", std::string(5000, 'x')); },
         kAudioErrorFileFormat},
        {"cut off",
         [](const TempFolder& f) {
             const std::string music = f.ReadAsset("soundtrack.mp3");
             f.WriteAsset("soundtrack.mp3", music.substr(0, music.size() / 2 + 1));
         },
         kAudioErrorFileFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        c.Spoil(folder);
        ShowRig rig(1, RigStart::Later);
        ASSERT_NO_THROW(rig.Create(folder.Folder()));
        EXPECT_EQ(rig.Messages(), (Messages{AudioError("Error creating stream!", c.Code)}));
        for (int frame = 1; frame <= 5; ++frame)
            EXPECT_EQ(rig.Frame(), frame);
    }
}
