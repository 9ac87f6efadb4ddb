#include "show/invitation_printer.h"

#include <cstdio>

namespace {

// Text as a TOML basic string: quotes, backslashes and control characters escaped.
std::string Quoted(const std::string& Text) {
    std::string quoted = "\"";
    for (const char c : Text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string TextSection(const Invitation& Content) {
    std::string text = "# The window title, also the caption of the program's error boxes.\n"
                       "title = " +
                       Quoted(Content.Title) +
                       "\n"
                       "\n"
                       "# The rolling text, one entry per line, in order: 1 to 100 lines of up to 200\n"
                       "# characters (UTF-8: e, é and € are one character each). \"/N\" sets the colour\n"
                       "# of what follows: 1 black, 2 red, 3 blue, 4 green, any other purple. An\n"
                       "# empty line is a pause between two passes of the text.\n"
                       "lines = [\n";
    for (const std::string& line : Content.Lines)
        text += "  " + Quoted(line) + ",\n";
    return text + "]\n";
}

std::string CaptionSection(const Invitation& Content) {
    return "\n"
           "# The year captions fly past on a cloud from first_year to last_year, which\n"
           "# stops in the middle (first_year <= last_year, at most 200 captions).\n"
           "first_year = " +
           std::to_string(Content.FirstYear) +
           "\n"
           "last_year = " +
           std::to_string(Content.LastYear) +
           "\n"
           "\n"
           "# Then the date and the time slide in and stay (up to 24 characters each;\n"
           "# one too wide for its cloud is drawn smaller).\n"
           "date = " +
           Quoted(Content.Date) +
           "\n"
           "time = " +
           Quoted(Content.Time) + "\n";
}

std::string FileSection(const InvitationFiles& Files) {
    return "\n"
           "# Pictures (BMP, PNG or JPEG, any size) and music (MP3, Ogg, ...). A relative\n"
           "# name is relative to this file's folder. The names below are the program's\n"
           "# own files, written out in full so that this file plays anywhere: to use your\n"
           "# own, put the file beside this one and write its name, e.g. night = \"sky.png\".\n"
           "[pictures]\n"
           "# The night sky, opaque: scaled and cropped to cover 800 x 340 pixels.\n"
           "night = " +
           Quoted(Files.Night) +
           "\n"
           "# The day sky the night blends into at dawn, opaque, fitted the same way.\n"
           "day = " +
           Quoted(Files.Day) +
           "\n"
           "# The boat on the sea; in this and the next three, white is transparent.\n"
           "boat = " +
           Quoted(Files.Boat) +
           "\n"
           "# The two twinkling stars.\n"
           "star = " +
           Quoted(Files.Star) +
           "\n"
           "# The moon that crosses the night sky.\n"
           "moon = " +
           Quoted(Files.Moon) +
           "\n"
           "# The sun that comes down at dawn and turns.\n"
           "sun = " +
           Quoted(Files.Sun) +
           "\n"
           "# The soundtrack, played once from the start.\n"
           "music = " +
           Quoted(Files.Music) + "\n";
}

} // namespace

std::string PrintInvitation(const Invitation& Content) {
    return "# A Fuifje invitation. Play it with: fuifje --invitation THIS_FILE\n"
           "# Every key may be left out; it then keeps the built-in invitation's value.\n"
           "\n" +
           TextSection(Content) + CaptionSection(Content) + FileSection(Content.Files);
}
