#pragma once
#include <cstdint>

// One fitted series: a_k cos(k w t) + b_k sin(k w t), k = 0..count-1.
struct FourierSeries {
    int32_t count;
    double* cosCoeffs;
    double* sinCoeffs;
};

// The Fourier fit of the measured surface card, one per well object.
struct CardFourierFit {
    FourierSeries pos;
    FourierSeries load;
    int32_t sampleCount;
    double omega;
};

// A new, empty fit (both counts 0); null when memory runs out.
CardFourierFit* NewCardFourierFit();
// Releases the load arrays, then the position arrays, then the record; null does nothing.
void FreeCardFourierFit(CardFourierFit* fit);
