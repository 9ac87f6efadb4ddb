// Tests of the synthesizer's notes, the stereo mixer and the WAVE writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "stereo_mix.h"
#include "synth.h"
#include "wav_file.h"

namespace {

// Sample I of the left and right channel of interleaved samples.
int16_t Left(const std::vector<int16_t>& Pcm, size_t I) {
    return Pcm[2 * I];
}
int16_t Right(const std::vector<int16_t>& Pcm, size_t I) {
    return Pcm[2 * I + 1];
}

TEST(Synth, NotesLastTheirHoldAndReleaseAndStayInRange) {
    EXPECT_DOUBLE_EQ(PitchFrequency(69), 440);
    EXPECT_NEAR(PitchFrequency(81), 880, 1e-9);
    for (Waveform wave : {Waveform::Sine, Waveform::Triangle, Waveform::Saw, Waveform::Square,
                          Waveform::Pulse25, Waveform::Bell}) {
        const Instrument voice{wave, {0.01, 0.05, 0.5, 0.1}, 7, 2000, 0.2};
        const std::vector<float> note = RenderNote(voice, 440, 0.5);
        EXPECT_EQ(note.size(), size_t(0.6 * kSampleRate));
        EXPECT_FLOAT_EQ(note.front(), 0.0f); // the attack starts from silence
        double sum = 0;
        float peak = 0;
        for (float s : note)
            sum += s, peak = std::max(peak, std::abs(s));
        EXPECT_LE(peak, 1.2f);
        EXPECT_GT(peak, 0.2f);
        EXPECT_NEAR(sum / double(note.size()), 0, 0.005) << "no offset from silence";
    }
}

TEST(StereoBus, PansPlacesEchoesAndScalesToThePeak) {
    StereoBus bus(0.1);
    bus.Add(std::vector<float>{1.0f}, 0, 1, -1); // hard left
    bus.Echo(0.01, 0.5, 1);
    const std::vector<int16_t> pcm = bus.ToPcm16(1);
    const size_t delay = size_t(0.01 * kSampleRate);
    EXPECT_EQ(Left(pcm, 0), 32767);
    EXPECT_EQ(Right(pcm, 0), 0);
    EXPECT_EQ(Right(pcm, delay), 16384); // the echo answers on the other side
    EXPECT_EQ(Left(pcm, 2 * delay), 8192);
    EXPECT_EQ(Right(pcm, 2 * delay), 0);

    StereoBus centre(0.01);
    centre.Add(std::vector<float>{0.5f}, 0, 1, 0);
    const std::vector<int16_t> both = centre.ToPcm16(0.5);
    EXPECT_EQ(Left(both, 0), Right(both, 0));
    EXPECT_EQ(Left(both, 0), 16384);
}

TEST(StereoBus, FadesToSilenceAndRoundsPeaksWithoutFlippingThem) {
    StereoBus bus(1);
    std::vector<float> tone(kSampleRate);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = float(std::sin(i * 0.05) * (i < 1000 ? 0.1 : 1.0));
    bus.Add(tone, 0, 1, 0);
    bus.SoftClip(2);
    bus.FadeOut(0.5);
    const std::vector<int16_t> pcm = bus.ToPcm16(1);
    EXPECT_GT(std::abs(Left(pcm, 200)), 0) << "quiet parts stay";
    EXPECT_EQ(std::signbit(float(Left(pcm, 100))), std::signbit(float(tone[100])));
    EXPECT_LE(std::abs(Left(pcm, pcm.size() / 2 - 1)), 40) << "the last sample is nearly silent";
}

TEST(WavFile, WritesAPcmHeaderAndTheSamples) {
    const std::string name = ::testing::TempDir() + "fuifje_tone.wav";
    WriteWavFile(name, {1, -2, 3, -4}, 2, kSampleRate);
    std::ifstream file(name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    std::remove(name.c_str());
    ASSERT_EQ(bytes.size(), 44u + 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(bytes[22], 2);                      // channels
    EXPECT_EQ(bytes[24] | bytes[25] << 8, 44100); // rate, low word
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(bytes[40], 8);    // data bytes
    EXPECT_EQ(bytes[46], 0xFE); // -2, little-endian
    EXPECT_EQ(bytes[47], 0xFF);
}

TEST(WavFile, NamesAFileItCannotCreate) {
    try {
        WriteWavFile("/nonexistent-folder/x.wav", {0, 0}, 2, kSampleRate);
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/x.wav"), std::string::npos) << e.what();
    }
}

} // namespace
