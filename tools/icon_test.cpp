// The desktop icon at the sizes the install ships: a rounded square (corners
// transparent, inside opaque) with the red hull of the boat in its middle.
#include <gtest/gtest.h>

#include "pictures.h"

TEST(Icon, RoundedSquareWithTheBoatAtEverySize) {
    for (const int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        const RgbaPicture icon = MakeIcon(size);
        ASSERT_EQ(icon.Width, size);
        ASSERT_EQ(icon.Height, size);
        const int last = size - 1;
        for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
            EXPECT_EQ(icon.At(x, y).A, 0) << x << "," << y;
        for (const auto& [x, y] :
             {std::pair{size / 2, size / 8}, {size / 8, size / 2}, {size / 2, size - size / 8}})
            EXPECT_EQ(icon.At(x, y).A, 255) << x << "," << y;
        int red = 0; // hull pixels: strongly red, in the middle band under the sails
        for (int y = size * 5 / 8; y < size * 3 / 4; ++y)
            for (int x = size / 3; x < size * 2 / 3; ++x)
                if (icon.At(x, y).R > 2 * icon.At(x, y).B && icon.At(x, y).R > 100) ++red;
        EXPECT_GT(red, size * size / 100);
    }
}
