// UTF-8 as the show reads its text: one character is one lead byte and its
// continuation bytes. The invitation reader lets only well-formed UTF-8 in; a
// stray byte elsewhere counts as one character of its own.
#pragma once

#include <cstddef>
#include <string_view>

// The bytes of the character that starts at byte Start of Text (1 for a byte
// that cannot lead a sequence; never past the end of Text).
size_t Utf8CharacterLength(std::string_view Text, size_t Start);

// The number of characters in Text.
size_t Utf8CharacterCount(std::string_view Text);
