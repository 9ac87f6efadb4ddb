// The soundtrack: one music file played once from the start, and the message
// box that reports an audio failure with the library's error code.
#include <string>

#include "show/main_form.h"

void TMainForm::PlaySoundtrack(const std::string& FileName) {
    MusicStream = FAudio.StreamCreateFile(FileName);
    // A file that cannot be played is reported once; the show then goes on in silence.
    if (MusicStream == 0) {
        ShowAudioError("Error creating stream!");
        return;
    }
    if (!FAudio.ChannelPlay(MusicStream, false)) ShowAudioError("Error playing stream!");
}

void TMainForm::ShowAudioError(const std::string& Msg) {
    const std::string text = Msg + "\r\n(Error code: " + std::to_string(FAudio.ErrorGetCode()) + ")";
    FPlatform.Messages->ShowError("Error", text);
}
