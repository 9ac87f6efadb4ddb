// Reads a host's invitation file (TOML) into an Invitation. Every key may be
// left out and then keeps the built-in invitation's value; anything the show
// cannot play is refused with one message naming the file, line and column.
#pragma once

#include <string>
#include <string_view>

#include "core/exception.h"
#include "show/invitation.h"

// An invitation file that cannot be read or played: "FILE:LINE:COLUMN: what is wrong".
FUIFJE_EXCEPTION(EInvitationError, Exception);

// Reads the invitation file FileName. Picture and music names in it are
// relative to the file's folder and come back absolute.
Invitation ReadInvitation(const std::string& FileName);

// Reads Text as the content of an invitation file named FileName (used in
// messages and as the folder relative names start from).
Invitation ParseInvitation(std::string_view Text, const std::string& FileName);
