#pragma once
// Shared helpers of the design-file tests.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tesk/tesk.h"

inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

inline TaperBase_t Taper(const char* id, double L, double D, double W) {
    TaperBase_t taper{};
    std::snprintf(taper.id, sizeof taper.id, "%s", id);
    taper.L = L;
    taper.D = D;
    taper.W = W;
    taper.T = 115000.0;
    taper.E = 30500000.0;
    taper.R = 490.0;
    return taper;
}

inline TubingBase_t Tubing(double L, double E) {
    TubingBase_t tubing{};
    tubing.L = L;
    tubing.ID = 1.995;
    tubing.OD = 2.375;
    tubing.weight = 3.5;
    tubing.W = 4.7;
    tubing.T = 72000.0;
    tubing.E = E;
    tubing.R = 490.0;
    return tubing;
}
