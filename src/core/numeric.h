// Pascal-style arithmetic on 32-bit integers: wrapping operations, truncating
// division, rounding with ties to even, and the text conversions the show uses.
// C++ signed overflow is undefined, so every wrapping step goes through uint32_t.
#pragma once

#include <cstdint>
#include <string>

// Wrapping 32-bit arithmetic, as the runtime's Integer behaves.
constexpr int32_t WrapAdd(int32_t A, int32_t B) {
    return static_cast<int32_t>(static_cast<uint32_t>(A) + static_cast<uint32_t>(B));
}
constexpr int32_t WrapSub(int32_t A, int32_t B) {
    return static_cast<int32_t>(static_cast<uint32_t>(A) - static_cast<uint32_t>(B));
}
constexpr int32_t WrapMul(int32_t A, int32_t B) {
    return static_cast<int32_t>(static_cast<uint32_t>(A) * static_cast<uint32_t>(B));
}
constexpr int32_t WrapNeg(int32_t A) { return static_cast<int32_t>(0u - static_cast<uint32_t>(A)); }

// `div`: truncates toward zero. A zero divisor gives 0 instead of trapping, and
// INT32_MIN div -1 wraps to INT32_MIN.
constexpr int32_t Div(int32_t A, int32_t B) {
    if (B == 0) return 0;
    if (B == -1) return WrapNeg(A);
    return A / B;
}
// `mod`: the sign follows the dividend. A zero divisor gives 0.
constexpr int32_t Mod(int32_t A, int32_t B) {
    if (B == 0 || B == -1) return 0;
    return A % B;
}

// The low 32 bits of a 64-bit integer, as assigning an Int64 to an Integer keeps them.
constexpr int32_t LowInt32(int64_t V) { return static_cast<int32_t>(static_cast<uint64_t>(V)); }

// Round to nearest, ties to even. NaN gives 0; values beyond the 64-bit range saturate.
int64_t Round(double X);
// Drops the fraction (toward zero). NaN gives 0; values beyond the 64-bit range saturate.
int64_t Trunc(double X);
// The low 32 bits of Round / Trunc: what storing the result in an Integer keeps.
inline int32_t RoundInt32(double X) { return LowInt32(Round(X)); }
inline int32_t TruncInt32(double X) { return LowInt32(Trunc(X)); }

// Reads a decimal integer, or a hexadecimal one after "$" (or "0x"), with an
// optional sign and leading blanks. Raises EConvertError
// "'%s' is not a valid integer value" for anything else, overflow included.
int32_t StrToInt(const std::string& S);
// Like StrToInt, but gives Default instead of raising.
int32_t StrToIntDef(const std::string& S, int32_t Default);
// Uppercase hexadecimal text of Value with at least Digits digits; negative
// values show their 32-bit two's complement (eight digits).
std::string IntToHex(int32_t Value, int Digits);
// Decimal text of Value.
std::string IntToStr(int32_t Value);
// A 32-bit value from two 16-bit halves, the low word first.
constexpr uint32_t MakeLong(uint16_t Low, uint16_t High) { return uint32_t(Low) | (uint32_t(High) << 16); }
