// The pictures stored with the main form (embedded into the executable): the
// blank 40 x 40 glyph template of charlist and the cloud of yearlist.
#pragma once

#include "render/image_list.h"

// Gives charlist its template and yearlist its cloud and its empty placeholder,
// with the settings the form stores for them.
void LoadStoredPictures(TDXImageList& Charlist, TDXImageList& Yearlist);
