#pragma once
// The object's dirty flags and its cards' rebuild flags as one readable text, for the tables
// that check which cards an input invalidates.
#include <string>

#include "model/tesk_obj.h"

inline void ClearAllFlags(TeskObj* obj) {
    obj->measDirty = obj->upscDirty = obj->predDirty = 0;
    for (WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) card->cdtDirty = card->nodesDirty = 0;
}

// "meas upsc pred" for the object's flags, then "NAME-cards" for a card whose time step and
// nodes are both to be rebuilt and "NAME-half" for one with only one of the two.
inline std::string Flags(const TeskObj* obj) {
    std::string s;
    if (obj->measDirty) s += "meas ";
    if (obj->upscDirty) s += "upsc ";
    if (obj->predDirty) s += "pred ";
    for (const WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) {
        if (card->cdtDirty && card->nodesDirty) s += std::string(card->name) + "-cards ";
        else if (card->cdtDirty || card->nodesDirty) s += std::string(card->name) + "-half ";
    }
    return s;
}
