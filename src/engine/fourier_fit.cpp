#include <cstdlib>

#include "engine/fourier.h"

CardFourierFit* NewCardFourierFit() {
    return static_cast<CardFourierFit*>(std::calloc(1, sizeof(CardFourierFit)));
}

void FreeCardFourierFit(CardFourierFit* fit) {
    if (fit == nullptr) return;
    std::free(fit->load.cosCoeffs);
    std::free(fit->load.sinCoeffs);
    std::free(fit->pos.cosCoeffs);
    std::free(fit->pos.sinCoeffs);
    std::free(fit);
}
