// Writes an invitation as the file a host edits: TOML, with a comment on every
// key. Read back (invitation_reader.h), it gives the same invitation.
#pragma once

#include <string>

#include "show/invitation.h"

// The invitation file of Content. Its file names are written as they are, so
// a printed built-in invitation should first get absolute ones (WithAbsoluteFiles).
std::string PrintInvitation(const Invitation& Content);
