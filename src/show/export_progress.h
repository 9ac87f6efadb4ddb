// The export's progress on standard error: on a terminal one line that keeps
// itself up to date (percent, frames a second, time left, the file's final
// size as it looks so far); elsewhere (CI, logs) one plain line per 10 %.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class ExportProgress {
public:
    // For the export of Name in Frames frames, written to Out, live when Live.
    ExportProgress(std::string Name, int64_t Frames, bool Live, std::FILE* Out = stderr);
    // Frame frames are drawn, Bytes written, Milliseconds passed since the start.
    void Update(int64_t Frame, int64_t Bytes, int64_t Milliseconds);
    // The closing line: the file's size, the video's length and how long it took.
    void Done(int64_t Bytes, int64_t Milliseconds);
    // Ends a live line before another message follows it.
    void Interrupt();

private:
    std::string Line(int64_t Frame, int64_t Bytes, int64_t Milliseconds) const;

    std::string FName;
    int64_t FFrames;
    bool FLive;
    std::FILE* FOut;
    int64_t FShownTenth = 0;  // plain lines: the last tenth reported
    int64_t FShownAt = -1000; // live line: when it was last drawn
    bool FLineOpen = false;   // a live line without its newline yet
};

// Bytes as people read them: "812 kB", "14.8 MB" (powers of 1000, as file managers show them).
std::string SizeText(int64_t Bytes);
// A duration as minutes and seconds: "3:55".
std::string ClockText(int64_t Milliseconds);
