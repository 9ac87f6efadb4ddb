// The pictures of the two example invitations in examples/, drawn in code like
// the default assets. Their sizes are deliberately odd (photo-sized, tiny,
// very wide, larger than a sprite may be) to show that the show fits any size.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

// A picture and the file name it is written to in its example's folder.
struct ExamplePicture {
    std::string File;
    Picture Image;
};

// An English birthday: a violet night with northern lights over hills
// (1200 x 675), a peach morning with soft bokeh (960 x 720), a rubber duck
// (600 x 520), a golden star, a red balloon as the moon, a doughnut as the sun (900 x 900).
std::vector<ExamplePicture> MakeBirthdayPictures();

// A French wedding: a small deep-blue night with lanterns (640 x 300), a very
// wide lavender and gold day (1600 x 400), a swan, a heart as the star,
// a champagne glass as the moon and a rose window as the sun.
std::vector<ExamplePicture> MakeWeddingPictures();
