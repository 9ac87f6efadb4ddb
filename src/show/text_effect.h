// The records of the moving lines: one TTextEffect per text line, sea line or
// wave streak, and one TCharacter per character of a text line.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/object.h"

class TSinus;

// One character of a text line: the index of its glyph image, -1 for a blank.
class TCharacter : public TObject {
public:
    std::string ClassName() const override { return "TCharacter"; }

    int32_t Glyph = 0;
};

// Line kinds, held in `Kind` once a line is built.
constexpr int32_t kTextLine = 0;
constexpr int32_t kSeaLine = -1;
constexpr int32_t kWaveStreak = -2;

// One moving line. While BuildLine parses a text line, `Kind` is the parse
// cursor (1-based position of the last byte consumed); afterwards the line kind.
class TTextEffect : public TObject {
public:
    std::string ClassName() const override { return "TTextEffect"; }

    TSinus* Sinus = nullptr; // owned by the main form
    std::unique_ptr<std::vector<std::unique_ptr<TCharacter>>> Chars; // text lines only
    int32_t Kind = 0;
    int32_t CharCount = 0;
    uint8_t ColorIndex = 0;
    int32_t Slot = 0; // screen row 1 to 6 while running, 0 when none is held
};
