// A small deterministic pseudo-random generator for the asset generator: the
// same seed gives the same pictures and the same music on every run, on every
// machine (no clock, no library generator whose sequence may change).
#pragma once

#include <cstdint>

class Lcg {
public:
    explicit Lcg(uint32_t Seed) : FState(Seed) {}

    // A well-spread seed from a small number such as a row index: neighbouring
    // inputs give unrelated sequences (an integer hash with xor-shift-multiply rounds).
    static uint32_t Scramble(uint32_t Value) {
        Value = (Value ^ (Value >> 16)) * 0x7feb352du;
        Value = (Value ^ (Value >> 15)) * 0x846ca68bu;
        return Value ^ (Value >> 16);
    }

    // The next 32-bit state (Numerical Recipes constants; only high bits are used).
    uint32_t Next() {
        FState = FState * 1664525u + 1013904223u;
        return FState;
    }
    // A number from 0 (inclusive) to 1 (exclusive), from the top 24 bits.
    double Uniform() { return double(Next() >> 8) / 16777216.0; }
    // A number from Low to High.
    double Between(double Low, double High) { return Low + (High - Low) * Uniform(); }
    // An integer from 0 to N - 1.
    int Below(int N) { return int(Uniform() * N); }

private:
    uint32_t FState;
};
