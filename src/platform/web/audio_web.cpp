#include "platform/web/audio_web.h"

#include <emscripten.h>

#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "platform/audio_check.h"

namespace {

// Makes stream Handle of the Size bytes at Data: a blob of the sound's media
// type, which the page's element must be able to play. 1 on success, 0 when
// the browser does not play that kind of sound.
EM_JS(int, OpenPageSound, (int Handle, const uint8_t* Data, int Size), {
    var head = HEAPU8.slice(Data, Data + Math.min(Size, 64));
    var text = String.fromCharCode.apply(null, head);
    var type = "audio/mpeg";
    if (text.startsWith("OggS"))
        type = text.indexOf("OpusHead") >= 0 ? "audio/ogg; codecs=opus" : "audio/ogg";
    else if (text.startsWith("RIFF"))
        type = "audio/wav";
    else if (text.startsWith("fLaC"))
        type = "audio/flac";
    else if (text.startsWith("FORM"))
        type = "audio/aiff";
    var element = Module.soundElement || document.createElement("audio");
    if (!element.canPlayType(type)) return 0;
    var streams = Module.fuifjeStreams = Module.fuifjeStreams || {};
    streams[Handle] = URL.createObjectURL(new Blob([HEAPU8.slice(Data, Data + Size)], {
        type:
            type
    }));
    return 1;
});

// Plays stream Handle from its start on the page's element (going on when it
// already plays it and Restart is 0). When the browser refuses to start it,
// the page's sound button starts it at the guest's tap.
EM_JS(void, PlayPageSound, (int Handle, int Restart), {
    var element = Module.soundElement = Module.soundElement || document.createElement("audio");
    if (element.fuifjeHandle == Handle && !element.paused && !Restart) return;
    element.src = Module.fuifjeStreams[Handle];
    element.fuifjeHandle = Handle;
    var button = document.getElementById("sound");
    element.play()
        .then(function() {
            if (button) button.hidden = true;
        })
        .catch(function() {
            if (!button) return;
            button.hidden = false;
            button.onclick = function() {
                button.hidden = true;
                element.play().catch(function() { button.hidden = false; });
            };
        });
});

// Stops stream Handle if it plays and lets go of its bytes.
EM_JS(void, ClosePageSound, (int Handle), {
    var element = Module.soundElement;
    if (element && element.fuifjeHandle == Handle) {
        element.pause();
        element.removeAttribute("src");
        element.fuifjeHandle = 0;
        var button = document.getElementById("sound");
        if (button) button.hidden = true;
    }
    URL.revokeObjectURL(Module.fuifjeStreams[Handle]);
    delete Module.fuifjeStreams[Handle];
});

// The page's audio, with the codes and the rules of audio.h.
class WebAudio final : public AudioFacility {
public:
    ~WebAudio() override {
        if (FInitialised) Free();
    }
    uint32_t GetVersion() override { return kAudioVersion; }
    bool Init(int32_t device, int32_t frequency) override;
    uint32_t StreamCreateFile(const std::string& path) override;
    bool ChannelPlay(uint32_t handle, bool restart) override;
    int32_t ErrorGetCode() override { return FLastError; }
    bool StreamFree(uint32_t handle) override;
    bool Free() override;

private:
    // Records code as the last error; true when it is kAudioOk.
    bool Report(int32_t code) {
        FLastError = code;
        return code == kAudioOk;
    }
    // Opens the file at path as stream handle; a failure code or kAudioOk.
    static int32_t Open(uint32_t handle, const std::string& path);

    std::set<uint32_t> FStreams;
    uint32_t FLastHandle = 0;
    bool FInitialised = false;
    int32_t FLastError = kAudioOk;
};

bool WebAudio::Init(int32_t device, int32_t frequency) {
    if (FInitialised) return Report(kAudioErrorAlready);
    if (frequency < kAudioMinFrequency || frequency > kAudioMaxFrequency)
        return Report(kAudioErrorIllegalParameter);
    // The page has one output, device 0, which is also the default.
    if (device != kAudioDefaultDevice && device != 0) return Report(kAudioErrorDevice);
    FInitialised = true;
    return Report(kAudioOk);
}

int32_t WebAudio::Open(uint32_t handle, const std::string& path) {
    const int32_t checked = CheckAudioFile(path);
    if (checked != kAudioOk) return checked;
    std::ifstream in(path, std::ios::binary);
    if (!in) return kAudioErrorFileOpen;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return OpenPageSound(int(handle), bytes.data(), int(bytes.size())) ? kAudioOk : kAudioErrorFileFormat;
}

uint32_t WebAudio::StreamCreateFile(const std::string& path) {
    if (!FInitialised) {
        Report(kAudioErrorInit);
        return 0;
    }
    const uint32_t handle = FLastHandle + 1 == 0 ? 1 : FLastHandle + 1; // 0 means "no stream"
    if (!Report(Open(handle, path))) return 0;
    FLastHandle = handle;
    FStreams.insert(handle);
    return handle;
}

bool WebAudio::ChannelPlay(uint32_t handle, bool restart) {
    if (FStreams.count(handle) == 0) return Report(kAudioErrorHandle);
    PlayPageSound(int(handle), restart ? 1 : 0);
    return Report(kAudioOk);
}

bool WebAudio::StreamFree(uint32_t handle) {
    if (FStreams.erase(handle) == 0) return Report(kAudioErrorHandle);
    ClosePageSound(int(handle));
    return Report(kAudioOk);
}

bool WebAudio::Free() {
    if (!FInitialised) return Report(kAudioErrorInit);
    for (uint32_t handle : FStreams)
        ClosePageSound(int(handle));
    FStreams.clear();
    FInitialised = false;
    return Report(kAudioOk);
}

} // namespace

std::unique_ptr<AudioFacility> CreateWebAudio() {
    return std::make_unique<WebAudio>();
}
