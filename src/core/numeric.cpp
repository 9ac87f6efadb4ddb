#include "core/numeric.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/exception.h"

namespace {

int64_t SaturatedInt64(double X) {
    if (std::isnan(X)) return 0;
    // 2^63 is exactly representable; anything at or beyond it saturates.
    if (X >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
    if (X < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(X);
}

bool ParseInt(const std::string& S, int32_t& Out) {
    size_t i = 0;
    while (i < S.size() && S[i] == ' ') ++i;
    bool negative = false;
    if (i < S.size() && (S[i] == '-' || S[i] == '+')) negative = S[i++] == '-';
    int base = 10;
    if (i < S.size() && S[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < S.size() && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= S.size()) return false;
    uint64_t magnitude = 0;
    for (; i < S.size(); ++i) {
        const int c = static_cast<unsigned char>(S[i]);
        int digit;
        if (std::isdigit(c)) digit = c - '0';
        else if (base == 16 && std::isxdigit(c)) digit = std::toupper(c) - 'A' + 10;
        else return false;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    if (base == 16) {
        // Hexadecimal text names the bit pattern: $FFFFFFFF is -1.
        const uint32_t bits = static_cast<uint32_t>(magnitude);
        Out = static_cast<int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    if (negative ? magnitude > 2147483648ull : magnitude > 2147483647ull) return false;
    Out = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
    return true;
}

} // namespace

int64_t Round(double X) { return SaturatedInt64(std::nearbyint(X)); }

int64_t Trunc(double X) { return SaturatedInt64(std::trunc(X)); }

int32_t StrToInt(const std::string& S) {
    int32_t value = 0;
    if (!ParseInt(S, value)) throw EConvertError(Format("'%s' is not a valid integer value", S.c_str()));
    return value;
}

int32_t StrToIntDef(const std::string& S, int32_t Default) {
    int32_t value = 0;
    return ParseInt(S, value) ? value : Default;
}

std::string IntToHex(int32_t Value, int Digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", Digits < 0 ? 0 : (Digits > 8 ? 8 : Digits),
                  static_cast<uint32_t>(Value));
    return text;
}

std::string IntToStr(int32_t Value) { return std::to_string(Value); }
