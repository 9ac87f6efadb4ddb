#include "show/utf8.h"

#include <algorithm>

size_t Utf8CharacterLength(std::string_view Text, size_t Start) {
    if (Start >= Text.size()) return 0;
    const auto lead = static_cast<unsigned char>(Text[Start]);
    size_t length = 1;
    if (lead >= 0xC2 && lead < 0xE0)
        length = 2;
    else if (lead >= 0xE0 && lead < 0xF0)
        length = 3;
    else if (lead >= 0xF0 && lead < 0xF5)
        length = 4;
    // Only continuation bytes belong to the character.
    size_t end = Start + 1;
    while (end < std::min(Text.size(), Start + length) &&
           (static_cast<unsigned char>(Text[end]) & 0xC0) == 0x80)
        ++end;
    return end - Start;
}

size_t Utf8CharacterCount(std::string_view Text) {
    size_t count = 0;
    for (size_t i = 0; i < Text.size(); i += Utf8CharacterLength(Text, i))
        ++count;
    return count;
}
