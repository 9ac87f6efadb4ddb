// The example generator's entry: draws the pictures of the example invitations
// into examples/birthday/ and examples/mariage/ and renders their tunes to
// WAVE files, which tools/make_examples.sh then encodes (Ogg Vorbis, MP3).
#include <cstdio>
#include <exception>
#include <string>

#include "asset_files.h"
#include "example_pictures.h"
#include "example_tunes.h"
#include "synth.h"
#include "wav_file.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <repository folder> <birthday .wav> <wedding .wav>\n", argv[0]);
        return 2;
    }
    try {
        const std::string examples = std::string(argv[1]) + "/examples/";
        for (const ExamplePicture& picture : MakeBirthdayPictures())
            WritePngFile(examples + "birthday/" + picture.File, picture.Image);
        for (const ExamplePicture& picture : MakeWeddingPictures())
            WritePngFile(examples + "mariage/" + picture.File, picture.Image);
        WriteWavFile(argv[2], ComposeBirthdayTune(), 2, kSampleRate);
        WriteWavFile(argv[3], ComposeWeddingTune(), 2, kSampleRate);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
