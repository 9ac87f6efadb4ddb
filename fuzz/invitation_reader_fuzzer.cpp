// Fuzzes the invitation reader (toml++ and our checks of what it found). Any
// input either raises EInvitationError or gives an invitation within the
// show's limits, which (its built-in file names made absolute, as the program
// prints them) prints to a file that reads back as the same value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "show/invitation_printer.h"
#include "show/invitation_reader.h"
#include "show/utf8.h"

namespace {

bool WithinLimits(const Invitation& Content) {
    if (Content.Lines.empty() || Content.Lines.size() > kMaxInvitationLines) return false;
    for (const std::string& line : Content.Lines)
        if (Utf8CharacterCount(line) > kMaxLineCharacters) return false;
    const int64_t years = int64_t(Content.LastYear) - Content.FirstYear + 1;
    return years >= 1 && years <= kMaxYearCaptions && Utf8CharacterCount(Content.Date) <= kMaxCaptionCharacters &&
           Utf8CharacterCount(Content.Time) <= kMaxCaptionCharacters;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    Invitation content;
    try {
        content = ParseInvitation(text, "/fuzz/party.toml");
    } catch (const EInvitationError&) {
        return 0;
    }
    if (!WithinLimits(content)) std::abort();
    const Invitation absolute = WithAbsoluteFiles(content, "/data/");
    if (!(ParseInvitation(PrintInvitation(absolute), "/fuzz/party.toml") == absolute)) std::abort();
    return 0;
}
