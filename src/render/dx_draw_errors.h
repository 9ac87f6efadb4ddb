// The errors of the display component: its own failures (EDXDrawError), the
// platform's display objects (EDirectDrawError) and surfaces
// (EDirectDrawSurfaceError), each carrying its message.
#pragma once

#include "core/exception.h"

// "Form not found", "Display mode cannot be changed (%dx%d %dbit)", "%s cannot be made".
FUIFJE_EXCEPTION(EDXDrawError, Exception);
// "%s cannot be initialized", "Display requires 8, 16, 24 or 32 bits".
FUIFJE_EXCEPTION(EDirectDrawError, Exception);
// "%s cannot be made" for surfaces of images.
FUIFJE_EXCEPTION(EDirectDrawSurfaceError, Exception);
