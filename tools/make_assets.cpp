// The asset generator's entry: draws every picture into the repository's
// asset and resource folders and renders the soundtrack to a WAVE file, which
// tools/make_assets.sh then encodes to MP3.
#include <cstdio>
#include <exception>
#include <string>

#include "asset_files.h"
#include "pictures.h"
#include "soundtrack.h"
#include "synth.h"
#include "wav_file.h"

namespace {

void WritePictures(const std::string& Root) {
    const std::string graph = Root + "/assets/graph/", resources = Root + "/resources/";
    WriteBitmapFile(graph + "bgnd_night.bmp", MakeNightSky());
    WriteBitmapFile(graph + "bgnd_day.bmp", MakeDaySky());
    WriteBitmapFile(graph + "bootje.bmp", MakeBoat());
    WriteBitmapFile(graph + "star.bmp", MakeStar());
    WriteBitmapFile(graph + "moon.bmp", MakeMoon());
    WriteBitmapFile(graph + "sun.bmp", MakeSun());
    WriteStoredPicture(resources + "cloud.dib.dat", MakeCloud());
    WriteStoredPicture(resources + "glyph_template.dib.dat", MakeGlyphTemplate());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <repository folder> <soundtrack .wav to write>\n", argv[0]);
        return 2;
    }
    try {
        WritePictures(argv[1]);
        WriteWavFile(argv[2], ComposeSoundtrack(), 2, kSampleRate);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
