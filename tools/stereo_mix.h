// Stereo buses the soundtrack is mixed on: sounds are placed at a time with a
// gain and a pan, a bus can get a ping-pong echo and be mixed into another,
// and the master bus becomes 16-bit samples with an ending fade.
#pragma once

#include <cstdint>
#include <vector>

class StereoBus {
public:
    explicit StereoBus(double Seconds);

    // Adds a mono sound starting at Start seconds; Pan -1 is left, +1 right
    // (constant power, so a sound keeps its loudness as it moves).
    void Add(const std::vector<float>& Sound, double Start, double Gain, double Pan);
    // Adds another bus of the same length.
    void Add(const StereoBus& Other, double Gain);
    // Repeats the sound after Delay seconds, alternating sides, each repeat
    // Feedback times the one before, mixed in at Wet.
    void Echo(double Delay, double Feedback, double Wet);
    // Fades linearly to silence from From seconds to the end.
    void FadeOut(double From);
    // Rounds off the loudest peaks (a tanh curve after scaling the peak to 1)
    // so the whole mix can sit louder; Drive 1 is gentle, 2 is firm.
    void SoftClip(double Drive);
    // Interleaved 16-bit samples (left, right), scaled so the loudest peak sits at peakLevel (0 to 1).
    std::vector<int16_t> ToPcm16(double peakLevel) const;

private:
    float Peak() const;

    std::vector<float> FLeft;
    std::vector<float> FRight;
};
