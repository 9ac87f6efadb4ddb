// The invitation as a value: the window title, the rolling text, the years the
// captions count, the date and time of the party, and its pictures and music.
// Its default is the built-in Dutch birthday invitation; a host's file
// (invitation_reader.h) overrides any of it. Nothing here knows a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// [SECTION] Limits a host's invitation keeps to

inline constexpr size_t kMaxInvitationLines = 100;
inline constexpr size_t kMaxLineCharacters = 200; // UTF-8 characters, markers included
inline constexpr int64_t kMaxYearCaptions = 200;
inline constexpr size_t kMaxCaptionCharacters = 24; // date and time
// Years stay well inside 32 bits, so counting one past the last never overflows.
inline constexpr int64_t kMinYear = -999999999;
inline constexpr int64_t kMaxYear = 999999999;

// [SECTION] The value

// The files of the show. A relative name is a file of the program's data
// folder; the invitation reader makes a host's names absolute.
struct InvitationFiles {
    std::string Night = "bgnd_night.bmp"; // opaque, fitted to cover 800 x 340
    std::string Day = "bgnd_day.bmp";     // opaque, fitted to cover 800 x 340
    std::string Boat = "bootje.bmp";      // white is transparent, as in every sprite
    std::string Star = "star.bmp";
    std::string Moon = "moon.bmp";
    std::string Sun = "sun.bmp";
    std::string Music = "soundtrack.mp3";

    bool operator==(const InvitationFiles&) const = default;
};

struct Invitation {
    // The window title and the caption of the program's error boxes.
    std::string Title = "Fuifje";
    // One entry per text line, in order; "/N" sets the colour of what follows
    // (1 black, 2 red, 3 blue, 4 green, others purple); an empty line is a pause.
    std::vector<std::string> Lines = {
        "/1welkom bij de uitnodiging van mijn verjaardag!",
        "/2ook dit jaar ben je weer van harte welkom",
        "/3op de sterweg 12 in wolkendam",
        "/4om alweer mijn 35e verjaardag te vieren..",
        "/1dus noteer: zaterdag 26 juni vanaf 18:00",
        "/2barbeque bij ilvar en merula..",
        "/3laat aub even weten of je wel of niet kan komen",
        "/4en blijven slapen mag natuurlijk ook",
        "/1maar laat dat ook even weten",
        "/2hopelijk tot dan!         doeiiiiiii",
        "",
    };
    // The captions count from FirstYear to LastYear, which stops in the middle.
    int32_t FirstYear = 1975;
    int32_t LastYear = 2010;
    std::string Date = "26 Juni";
    std::string Time = "18:00";
    InvitationFiles Files;

    bool operator==(const Invitation&) const = default;
};

// [SECTION] Files

// File as the show opens it: an absolute name as it is, a relative one in
// DataFolder (the data folder with its trailing slash).
std::string InvitationFile(const std::string& DataFolder, const std::string& File);

// The invitation with every relative file name made absolute in DataFolder, so
// that it plays the same wherever it is written down.
Invitation WithAbsoluteFiles(const Invitation& Content, const std::string& DataFolder);
