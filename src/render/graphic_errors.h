// The errors of the bitmap classes: a picture that cannot be read, and an
// operation a graphic cannot carry out ("Bitcount in invalid (%d)", ...).
#pragma once

#include "core/exception.h"

// Data that is not a picture of the kind expected ("DIB is invalid").
FUIFJE_EXCEPTION(EInvalidGraphic, Exception);
// A request a graphic cannot fulfil ("Bitcount in invalid (%d)", "PixelFormat in invalid").
FUIFJE_EXCEPTION(EInvalidGraphicOperation, Exception);

// The message of a stored or file form that cannot be read.
inline constexpr const char* kDIBInvalid = "DIB is invalid";
