// Text as UTF-8: a character of one to four bytes is one character of its line
// and gets one glyph; a character the font lacks shows the font's missing-glyph
// box; stray and cut-off bytes never run past the text.
#include <gtest/gtest.h>

#include "render/dib.h"
#include "render/picture.h"
#include "show/show_rig.h"
#include "show/utf8.h"

namespace {

std::vector<uint32_t> GlyphPixels(TMainForm& Form, int Index) {
    const PixelView view =
        dynamic_cast<const TDIB&>(*Form.charlist->Items().Items(Index)->Picture().Graphic()).View();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < view.Height; ++y)
        for (int x = 0; x < view.Width; ++x)
            pixels.push_back(view.Read(x, y));
    return pixels;
}

// Builds Text into a fresh line; the number of glyph images it added.
int Build(TMainForm& Form, TTextEffect& Line, const std::string& Text) {
    Line.Chars = std::make_unique<std::vector<std::unique_ptr<TCharacter>>>();
    const int before = Form.charlist->Items().Count();
    while (Form.BuildLine(Line, Text)) {
    }
    return Form.charlist->Items().Count() - before;
}

} // namespace

TEST(Utf8Text, EveryCharacterIsOneCharacterWithOneGlyph) {
    ShowRig run;
    TMainForm& form = *run.Form;
    TTextEffect line;
    // é (2 bytes), € (3), the G clef 𝄞 (4), a blank and x.
    EXPECT_EQ(Build(form, line, "/2é€𝄞 x"), 4);
    EXPECT_EQ(line.CharCount, 5);
    EXPECT_EQ(line.ColorIndex, 2);
    EXPECT_EQ((*line.Chars)[3]->Glyph, -1);
    // The glyph of é is the letter, not two glyphs of its bytes: it differs from e's and from a blank.
    TTextEffect plain;
    ASSERT_EQ(Build(form, plain, "/2e"), 1);
    const int accented = (*line.Chars)[0]->Glyph, bare = (*plain.Chars)[0]->Glyph;
    EXPECT_NE(GlyphPixels(form, accented), GlyphPixels(form, bare));
    EXPECT_NE(GlyphPixels(form, accented), GlyphPixels(form, 0));

    // A marker's character may be several bytes long: it is not a digit, so colour 1, and no glyph.
    TTextEffect marked;
    EXPECT_EQ(Build(form, marked, "/€"), 0);
    EXPECT_EQ(marked.ColorIndex, 1);
    EXPECT_EQ(marked.CharCount, 0);
}

TEST(Utf8Text, ACharacterTheFontLacksShowsTheMissingGlyphBox) {
    ShowRig run;
    TMainForm& form = *run.Form;
    TTextEffect line;
    // Two private-use characters no font here has: each one glyph, the same box, not blank.
    ASSERT_EQ(Build(form, line, "/1\xEE\x80\x80\xF4\x8F\xBF\xBD"), 2);
    const std::vector<uint32_t> box = GlyphPixels(form, (*line.Chars)[0]->Glyph);
    EXPECT_EQ(box, GlyphPixels(form, (*line.Chars)[1]->Glyph));
    EXPECT_NE(box, GlyphPixels(form, 0));
}

TEST(Utf8Text, StrayAndCutOffBytesStayInsideTheText) {
    EXPECT_EQ(Utf8CharacterLength("a", 0), 1u);
    EXPECT_EQ(Utf8CharacterLength("\xC3\xA9", 0), 2u);
    EXPECT_EQ(Utf8CharacterLength("\xE2\x82\xAC", 0), 3u);
    EXPECT_EQ(Utf8CharacterLength("\xF0\x9D\x84\x9E", 0), 4u);
    EXPECT_EQ(Utf8CharacterLength("\x80", 0), 1u);     // a stray continuation byte
    EXPECT_EQ(Utf8CharacterLength("\xE2\x82", 0), 2u); // cut off by the end
    EXPECT_EQ(Utf8CharacterLength("\xE2"
                                  "a",
                                  0),
              1u);                                     // cut off by a new character
    EXPECT_EQ(Utf8CharacterLength("\xC0\x80", 0), 1u); // no lead byte of a sequence
    EXPECT_EQ(Utf8CharacterLength("ab", 2), 0u);
    EXPECT_EQ(Utf8CharacterCount("/2é€𝄞 x\x80"), 8u);
}
