#pragma once

struct CardFourierFit;
struct WaveModel;

// False when a valid taper of the card still holds the weight given for a diameter the rod
// table does not list: the solve would report the rod string's weight as a load of millions
// of pounds. Then one line names the first such taper and its diameter, followed by
// "Cannot run <solverName>() because all fields have not been set.". A card without tapers
// passes here; the solver's own checks refuse it.
bool CardRodWeightsKnown(const WaveModel* card, const char* solverName);

// False when a point of the card's surface card is NaN or infinite: the march would carry it
// into every pump point after it. Then one line names the first such point, followed by the
// "Cannot run <solverName>() ..." line. A card without surface arrays passes here.
bool CardSamplesFinite(const WaveModel* card, const char* solverName);

// True when the upscaled surface card, resampled from `fit`, comes from a fit of both series
// (each with at least one coefficient pair); before that it holds zeros that stand for no
// measurement. False for a null fit.
bool UpscaledCardFitted(const CardFourierFit* fit);
