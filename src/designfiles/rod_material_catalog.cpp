#include "designfiles/rod_material_catalog.h"

#include <cstring>

namespace {

constexpr double kMpsi = 1000000.0;

// Size sets shared by many materials; a slot not written is all zero.
using SizeSlots = RodSize[kRodSizeSlots];

constexpr SizeSlots kApiSteel = {{0.5, 0.72, 1},  {0.625, 1.13, 1}, {0.75, 1.634, 1}, {0.875, 2.224, 1},
                                 {1, 2.904, 1},   {1.125, 3.676, 1}, {1.25, 4.172, 1}, {1.375, 5, 1},
                                 {1.5, 6, 1},     {1.625, 7, 1},    {1.75, 8.2, 1},   {2, 10.7, 1}};
constexpr SizeSlots kRibbon = {{0.625, 0.212, 0}};
constexpr SizeSlots kCorodFull = {{0.75, 1.5, 1},   {0.8125, 1.76, 1}, {0.875, 2.04, 1},  {0.9375, 2.35, 1},
                                  {1, 2.67, 1},     {1.0625, 3.01, 1}, {1.125, 3.38, 1}, {1.15625, 3.57, 1}};
constexpr SizeSlots kCorodThree = {{0.875, 2.04, 1}, {1, 2.67, 1}, {1.15625, 3.57, 1}};
constexpr SizeSlots kCorodFour = {{0.8125, 1.76, 1}, {0.875, 2.04, 1}, {1, 2.67, 1}, {1.15625, 3.57, 1}};
constexpr SizeSlots kCorodTwo = {{1, 2.67, 1}, {1.15625, 3.57, 1}};
constexpr SizeSlots kDurarod = {{0.75, 0.512, 0}, {0.875, 0.667, 0}, {1, 0.843, 0}, {1.25, 1.363, 0}};
constexpr SizeSlots kFibercom = {{0.735, 0.484, 0}, {0.85, 0.61, 0}, {0.98, 0.82, 0}, {1.1, 1.09, 0},
                                 {1.225, 1.29, 0}};
constexpr SizeSlots kFiberglass = {{0.74, 0.4831, 0}, {0.75, 0.45, 0},    {0.86, 0.62, 0},   {0.865, 0.6108, 0},
                                   {0.875, 0.61, 0},  {0.98, 0.848, 0},   {0.99, 0.8188, 0}, {1.17, 1.217, 0},
                                   {1.175, 1.185, 0}, {1.2, 1.1, 0},      {1.24, 1.2879, 0}, {1.465, 2.36, 0},
                                   {1.5, 2.36, 0}};
constexpr SizeSlots kCraneFiberglass = {{0.735, 0.484, 0}, {0.858, 0.6108, 0}, {0.98, 0.8188, 0},
                                        {1.225, 1.2879, 0}};
constexpr SizeSlots kExrod = {{0.75, 0.51, 0}, {0.875, 0.69, 0}, {1, 0.89, 0}, {1.125, 1.09, 0}, {1.25, 1.4, 0}};
// The endless rods list their sizes rounded to three decimals.
constexpr SizeSlots kEndless = {{0.75, 1.5, 1}, {0.812, 1.76, 1}, {0.875, 2.04, 1},
                                {1, 2.67, 1},   {1.063, 3.01, 1}, {1.125, 3.38, 1}};
constexpr SizeSlots kNorris = {{0.875, 0.72, 0}, {1, 0.94, 0}, {1.125, 1.09, 0}, {1.25, 1.47, 0}};
constexpr SizeSlots kSteelThree = {{0.75, 1.634, 1}, {0.875, 2.224, 1}, {1, 2.904, 1}};
constexpr SizeSlots kPetrorod = {{0.75, 0.46, 0}, {0.87, 0.65, 0}, {0.976, 0.87, 0}, {1.25, 1.35, 0}};
constexpr SizeSlots kProrodFive = {{0.8125, 1.76, 1}, {0.875, 2.04, 1}, {1, 2.67, 1}, {1.0625, 3.01, 1},
                                   {1.125, 3.38, 1}};
constexpr SizeSlots kProrodFour = {{0.8125, 1.76, 1}, {0.875, 2.04, 1}, {1, 2.67, 1}, {1.125, 3.38, 1}};
constexpr SizeSlots kOcher = {{0.75, 1.599, 1}, {0.875, 2.13, 1}, {1, 2.782, 1}};
constexpr SizeSlots kTenarisD = {{0.625, 1.13, 1}, {0.75, 1.634, 1}, {0.875, 2.224, 1}, {1, 2.904, 1},
                                 {1.125, 3.676, 1}, {1.25, 4.172, 1}, {1.375, 5, 1},    {1.5, 6, 1},
                                 {1.625, 7, 1},     {1.75, 8.2, 1},   {2, 10.7, 1}};
// The premium connection lists 2.2 lb/ft for 7/8 in, not the 2.224 of the other steels.
constexpr SizeSlots kPremium = {{0.75, 1.634, 1}, {0.875, 2.2, 1}, {1, 2.904, 1}};
constexpr SizeSlots kUpco = {{0.75, 1.634, 1}, {0.875, 2.224, 1}, {1, 2.904, 1}, {1.125, 3.676, 1}};
constexpr SizeSlots kWeatherford = {{0.625, 1.13, 1}, {0.75, 1.634, 1}, {0.875, 2.224, 1}, {1, 2.904, 1},
                                    {1.125, 3.676, 1}, {1.25, 4.172, 1}, {1.5, 6, 1}};

constexpr double kSteel = 492;
constexpr double kGlass = 153;

void TakeSize(const RodMaterial& row, double diameter, TaperBase_t* record) {
    for (int32_t i = 0; i < kRodSizeSlots; ++i) {
        if (row.sizes[i].sizeDiameter == diameter) {
            record->D = row.sizes[i].sizeDiameter;
            record->W = row.sizes[i].sizeWeight;
            return;
        }
    }
}

// The material constants of a row and, when it lists the diameter, its size. D and W are
// left as they were otherwise.
void TakeRow(const RodMaterial& row, double diameter, TaperBase_t* record) {
    record->L = 0;
    record->T = row.tensileStrength;
    record->E = row.modulusMpsi * kMpsi;
    record->R = row.density;
    TakeSize(row, diameter, record);
}

bool NameMatches(const RodMaterial& row, const char* name) {
    if (std::strcmp(row.materialName, name) == 0) return true;
    return row.altName != nullptr && std::strcmp(row.altName, name) == 0;
}

}  // namespace

const RodMaterial RodMaterialTable[kRodMaterialCount] = {
    {"UNKNOWN", nullptr, -1, 30.5, 115000, kSteel, kApiSteel},
    {"AOT 96", nullptr, 32, 30.5, 140000, kSteel, kApiSteel},
    {"AOT 97", nullptr, 33, 30.5, 140000, kSteel, kApiSteel},
    {"API C", "sb-api-c", 1, 30.5, 90000, kSteel, kApiSteel},
    {"API D", "api-d", 2, 30.5, 115000, kSteel, kApiSteel},
    {"API K", nullptr, 0, 30.5, 90000, kSteel, kApiSteel},
    {"AXELSON RIBBON", nullptr, 26, 16.8, -1, kSteel, kRibbon},
    {"COROD C", nullptr, 3, 29, 90000, kSteel, kCorodFull},
    {"COROD D", nullptr, 4, 29, 115000, kSteel, kCorodFull},
    {"COROD DE", nullptr, 36, 29, 115000, kSteel, kCorodFull},
    {"COROD DER", nullptr, 51, 29, 115000, kSteel, kCorodThree},
    {"COROD DR", nullptr, 50, 29, 115000, kSteel, kCorodFour},
    {"COROD DW", nullptr, 37, 29, 115000, kSteel, kCorodFull},
    {"COROD DWR", nullptr, 44, 29, 115000, kSteel, kCorodTwo},
    {"COROD SE", nullptr, 5, 29, 140000, kSteel, kCorodFull},
    {"COROD SER", nullptr, 47, 29, 140000, kSteel, kCorodFour},
    {"COROD SM", nullptr, 6, 29, 130000, kSteel, kCorodFull},
    {"COROD SW", nullptr, 38, 29, 145000, kSteel, kCorodFull},
    {"COROD SWR", nullptr, 48, 29, 145000, kSteel, kCorodThree},
    {"DURAROD", nullptr, 22, 6.3, -1, kGlass, kDurarod},
    {"FIBERCOM", nullptr, 25, 7.2, -1, kGlass, kFibercom},
    {"FIBERFLEX", "fiberflex", 19, 7.2, -1, kGlass, kFiberglass},
    {"FIBERGLASS TECHNOLOGIES", nullptr, 24, 7.2, -1, kGlass, kFiberglass},
    {"JOHN CRANE FIBERGLASS", nullptr, 65, 7.2, -1, kGlass, kCraneFiberglass},
    {"LTV-HS", nullptr, 9, 30.5, 140000, kSteel, kApiSteel},
    {"MMFG EXROD", nullptr, 20, 8.15, -1, kSteel, kExrod},
    {"MOORE ENDLESS ROD CD", nullptr, 61, 28, 115000, kSteel, kEndless},
    {"MOORE ENDLESS ROD CS", nullptr, 62, 36, 140000, kSteel, kEndless},
    {"MOORE ENDLESS ROD D", nullptr, 59, 28, 115000, kSteel, kEndless},
    {"MOORE ENDLESS ROD DS", nullptr, 60, 36, 140000, kSteel, kEndless},
    {"MOORE ENDLESS ROD ND", nullptr, 63, 28, 115000, kSteel, kEndless},
    {"MOORE ENDLESS ROD NS", nullptr, 64, 36, 140000, kSteel, kEndless},
    {"NORRIS", nullptr, 23, 7.1, -1, kSteel, kNorris},
    {"NORRIS 75", nullptr, 31, 30.5, 125000, kSteel, kApiSteel},
    {"NORRIS 78", nullptr, 30, 30.5, 120000, kSteel, kApiSteel},
    {"NORRIS 90", nullptr, 35, 30.5, 115000, kSteel, kSteelThree},
    {"NORRIS 96", nullptr, 28, 30.5, 140000, kSteel, kApiSteel},
    {"NORRIS 97", "norris-97", 7, 30.5, 140000, kSteel, kApiSteel},
    {"PETROROD", nullptr, 21, 8, -1, kSteel, kPetrorod},
    {"PROROD 620C", nullptr, 27, 29, 120000, kSteel, kProrodFive},
    {"PROROD 750N", nullptr, 56, 29, 125000, kSteel, kProrodFour},
    {"PROROD 780M", nullptr, 55, 29, 120000, kSteel, kProrodFour},
    {"PROROD 960M", nullptr, 34, 29, 140000, kSteel, kProrodFive},
    {"PROROD 970N", nullptr, 29, 29, 140000, kSteel, kProrodFive},
    {"RUSSIAN OCHER", nullptr, 57, 30.5, 135176, kSteel, kOcher},
    {"SUPEROD", nullptr, 58, 7.2, -1, kGlass, kCraneFiberglass},
    {"TENARIS D", nullptr, 41, 30.5, 125000, kSteel, kTenarisD},
    {"TENARIS MMS", nullptr, 40, 30.5, 140000, kSteel, kApiSteel},
    {"TENARIS PLUS", nullptr, 17, 30.5, -1, kSteel, kApiSteel},
    {"TENARIS PREMIUM CONNECTION", nullptr, 39, 30.5, -1, kSteel, kPremium},
    {"TENARIS UHS", nullptr, 18, 30.5, 140000, kSteel, kApiSteel},
    {"UPCO TYPE 50-HS", nullptr, 10, 30.5, 140000, kSteel, kApiSteel},
    {"UPCO TYPE HS", nullptr, 52, 30.5, 140000, kSteel, kUpco},
    {"UPCO TYPE HX", nullptr, 53, 30.5, 140000, kSteel, kUpco},
    {"UPCO TYPE SD", nullptr, 54, 30.5, 135000, kSteel, kUpco},
    {"WEATHERFORD D", nullptr, 43, 30.5, 115000, kSteel, kWeatherford},
    {"WEATHERFORD ELECTRA", nullptr, 8, 30.5, -1, kSteel, kApiSteel},
    {"WEATHERFORD HD", nullptr, 42, 30.5, 140000, kSteel, kWeatherford},
    {"WEATHERFORD KD", nullptr, 45, 30.5, 115000, kSteel, kWeatherford},
    {"WEATHERFORD MD", nullptr, 46, 30.5, 115000, kSteel, kWeatherford},
    {"WEATHERFORD S-59", nullptr, 49, 30.5, 100000, kSteel, kWeatherford},
    {"WEATHERFORD S-60", nullptr, 15, 30.5, 100000, kSteel, kApiSteel},
    {"WEATHERFORD S-67", nullptr, 14, 30.5, 120000, kSteel, kApiSteel},
    {"WEATHERFORD S-87", nullptr, 13, 30.5, 125000, kSteel, kApiSteel},
    {"WEATHERFORD S-88", nullptr, 12, 30.5, 140000, kSteel, kApiSteel},
    {"WEATHERFORD T-66", nullptr, 11, 30.5, 140000, kSteel, kApiSteel},
    {"WFT XD", nullptr, 16, 30.5, 140000, kSteel, kApiSteel},
};

TaperBase_t FindRodMaterialByNumber(const RodCatalog&, int32_t typeNumber, double diameter) {
    TaperBase_t record{};
    const RodMaterial* found = &RodMaterialTable[0];
    for (int32_t i = 1; i < kRodMaterialCount; ++i) {
        if (RodMaterialTable[i].typeNumber == typeNumber) {
            found = &RodMaterialTable[i];
            break;
        }
    }
    TakeRow(*found, diameter, &record);
    return record;
}

// The "UNKNOWN" row goes first so that its size stays when the named material lacks the
// diameter.
TaperBase_t FindRodMaterialByName(const RodCatalog&, const char* name, double diameter) {
    TaperBase_t record{};
    TakeRow(RodMaterialTable[0], diameter, &record);
    if (name == nullptr) return record;
    for (int32_t i = 1; i < kRodMaterialCount; ++i) {
        if (NameMatches(RodMaterialTable[i], name)) {
            TakeRow(RodMaterialTable[i], diameter, &record);
            break;
        }
    }
    return record;
}
