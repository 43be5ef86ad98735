#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "designfiles/rod_material_catalog.h"
#include "model/tesk_obj.h"

namespace {

const RodCatalog kCatalog{};

bool IdEmpty(const TaperBase_t& taper) {
    for (char c : taper.id) {
        if (c != '\0') return false;
    }
    return true;
}

TEST(RodMaterialCatalog, RowsAreSortedWithEveryTypeNumberOnce) {
    EXPECT_STREQ(RodMaterialTable[0].materialName, "UNKNOWN");
    EXPECT_EQ(RodMaterialTable[0].typeNumber, -1);
    std::set<int32_t> numbers;
    for (int32_t i = 0; i < kRodMaterialCount; ++i) {
        const RodMaterial& row = RodMaterialTable[i];
        numbers.insert(row.typeNumber);
        EXPECT_TRUE(row.density == 492 || row.density == 153) << row.materialName;
        if (i > 1) {
            EXPECT_LT(std::strcmp(RodMaterialTable[i - 1].materialName, row.materialName), 0) << row.materialName;
        }
    }
    EXPECT_EQ(numbers.size(), static_cast<size_t>(kRodMaterialCount));
    EXPECT_EQ(*numbers.begin(), -1);
    EXPECT_EQ(*numbers.rbegin(), 65);
}

// Sizes increase up to the first empty slot, and every slot after it is empty, so a diameter of
// 0 can never be found in a row.
TEST(RodMaterialCatalog, SizesIncreaseAndEmptySlotsTrail) {
    for (const RodMaterial& row : RodMaterialTable) {
        int32_t used = 0;
        while (used < kRodSizeSlots && row.sizes[used].sizeDiameter > 0) ++used;
        ASSERT_GT(used, 0) << row.materialName;
        for (int32_t i = 1; i < used; ++i) EXPECT_LT(row.sizes[i - 1].sizeDiameter, row.sizes[i].sizeDiameter);
        for (int32_t i = used; i < kRodSizeSlots; ++i) {
            EXPECT_EQ(row.sizes[i].sizeDiameter, 0);
            EXPECT_EQ(row.sizes[i].sizeWeight, 0);
        }
        for (int32_t i = 0; i < used; ++i) EXPECT_GT(row.sizes[i].sizeWeight, 0) << row.materialName;
    }
}

struct LookupCase {
    const char* label;
    bool byName;
    const char* name;
    int32_t number;
    double diameter;
    double D, W, T, E, R;
};

const LookupCase kLookups[] = {
    {"api d by number", false, nullptr, 2, 0.875, 0.875, 2.224, 115000, 30500000, 492},
    {"endless rod lists 0.812 not 0.8125", false, nullptr, 61, 0.8125, 0, 0, 115000, 28000000, 492},
    {"endless rod by its own size", false, nullptr, 61, 0.812, 0.812, 1.76, 115000, 28000000, 492},
    {"corod lists 0.8125", false, nullptr, 4, 0.8125, 0.8125, 1.76, 115000, 29000000, 492},
    {"norris fiberglass by number lacks 0.75", false, nullptr, 23, 0.75, 0, 0, -1, 7100000, 492},
    {"unknown number takes the default row", false, nullptr, 99, 1.0, 1, 2.904, 115000, 30500000, 492},
    {"type -1 is the default row", false, nullptr, -1, 2.0, 2, 10.7, 115000, 30500000, 492},
    {"number of the last row", false, nullptr, 65, 0.858, 0.858, 0.6108, -1, 7200000, 153},
    {"number lookup never borrows the default size", false, nullptr, 19, 1.0, 0, 0, -1, 7200000, 153},
    {"name lookup borrows the default size", true, "FIBERFLEX", 0, 1.0, 1, 2.904, -1, 7200000, 153},
    {"nan diameter matches no size", false, nullptr, 2, NAN, 0, 0, 115000, 30500000, 492},
    {"fiberflex by name", true, "FIBERFLEX", 0, 0.75, 0.75, 0.45, -1, 7200000, 153},
    {"fiberflex by alternative name", true, "fiberflex", 0, 0.75, 0.75, 0.45, -1, 7200000, 153},
    {"names are case-sensitive", true, "Fiberflex", 0, 0.75, 0.75, 1.634, 115000, 30500000, 492},
    {"norris keeps the default row's size", true, "NORRIS", 0, 0.75, 0.75, 1.634, -1, 7100000, 492},
    {"name lookup with a size no row lists", true, "API D", 0, 1.287, 0, 0, 115000, 30500000, 492},
    {"alternative name of api c", true, "sb-api-c", 0, 1.0, 1, 2.904, 90000, 30500000, 492},
    {"premium connection weighs 2.2 at 7/8", true, "TENARIS PREMIUM CONNECTION", 0, 0.875, 0.875, 2.2, -1,
     30500000, 492},
    {"ribbon", true, "AXELSON RIBBON", 0, 0.625, 0.625, 0.212, -1, 16800000, 492},
    {"null name is unknown", true, nullptr, 0, 0.875, 0.875, 2.224, 115000, 30500000, 492},
    {"trailing space is another name", true, "API D ", 0, 0.875, 0.875, 2.224, 115000, 30500000, 492},
    {"exact equality only", true, "API D", 0, 0.875 + 1e-12, 0, 0, 115000, 30500000, 492},
};

class RodMaterialLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(RodMaterialLookup, GivesTheCatalogueValues) {
    const LookupCase& c = GetParam();
    const TaperBase_t taper = c.byName ? FindRodMaterialByName(kCatalog, c.name, c.diameter)
                                       : FindRodMaterialByNumber(kCatalog, c.number, c.diameter);
    EXPECT_EQ(taper.D, c.D);
    EXPECT_EQ(taper.W, c.W);
    EXPECT_EQ(taper.T, c.T);
    EXPECT_EQ(taper.E, c.E);
    EXPECT_EQ(taper.R, c.R);
    EXPECT_EQ(taper.L, 0);
    EXPECT_TRUE(IdEmpty(taper));
}

INSTANTIATE_TEST_SUITE_P(Cases, RodMaterialLookup, ::testing::ValuesIn(kLookups),
                         [](const ::testing::TestParamInfo<LookupCase>& info) {
                             std::string name = info.param.label;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

// Every row is found by its own number and by its own name, with the same constants.
TEST(RodMaterialCatalog, EveryRowIsFoundByNumberAndByName) {
    for (const RodMaterial& row : RodMaterialTable) {
        const double diameter = row.sizes[0].sizeDiameter;
        const TaperBase_t byNumber = FindRodMaterialByNumber(kCatalog, row.typeNumber, diameter);
        const TaperBase_t byName = FindRodMaterialByName(kCatalog, row.materialName, diameter);
        EXPECT_EQ(byNumber.T, row.tensileStrength) << row.materialName;
        EXPECT_EQ(byNumber.E, row.modulusMpsi * 1000000.0) << row.materialName;
        EXPECT_EQ(byNumber.W, row.sizes[0].sizeWeight) << row.materialName;
        EXPECT_EQ(std::memcmp(&byNumber, &byName, sizeof byName), 0) << row.materialName;
    }
}

}  // namespace
