#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "log_capture.h"
#include "model/tesk_obj.h"
#include "pu_test_units.h"

namespace {

struct ObjDeleter {
    void operator()(TeskObj* obj) const { DeleteTeskObj(obj); }
};
using ObjPtr = std::unique_ptr<TeskObj, ObjDeleter>;

ObjPtr NewObj() { return ObjPtr(CreateTeskObj()); }

// A unit description with every padding byte set, so byte-exact copies show.
PuInfo_t MarkedInfo(char unitType) {
    PuInfo_t info;
    std::memset(&info, 0xA5, sizeof info);
    info.rotation = -1;
    SetLinkage(&info, 210.0, 148.5, 120.0, 120.0, 180.0, 37.0);
    info.gearboxRating = 456000.0;
    info.structureRating = 30500.0;
    info.maxStroke = 144.0;
    info.unitType = unitType;
    info.cbe = 18000.0;
    info.structUnbalance = -1200.0;
    info.reserved = 7.0;
    info.airPressure = 310.0;
    info.airArea = 60.0;
    info.airPressureBase = 90.0;
    return info;
}

bool SameBytes(const PuInfo_t& a, const PuInfo_t& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(PuExports, GetReturnsTheBytesThatWereSet) {
    for (char type : {'C', 'R', 'M', 'H', 'X', 'B'}) {
        ObjPtr obj = NewObj();
        const PuInfo_t info = MarkedInfo(type);
        ASSERT_EQ(SetPuInfo(obj.get(), info), 1);
        EXPECT_TRUE(SameBytes(GetPuInfo(obj.get()), info)) << type;
    }
}

TEST(PuExports, AirBalancedUnitReturnsCounterbalanceFromAir) {
    ObjPtr obj = NewObj();
    const PuInfo_t info = MarkedInfo('A');
    ASSERT_EQ(SetPuInfo(obj.get(), info), 1);
    PuInfo_t expected = info;
    expected.structUnbalance = 90.0 * 60.0;
    expected.cbe = (310.0 - 90.0) * 60.0;
    EXPECT_TRUE(SameBytes(GetPuInfo(obj.get()), expected));
}

TEST(PuExports, NewObjectReturnsDefaultUnitWithClearPadding) {
    ObjPtr obj = NewObj();
    const PuInfo_t info = GetPuInfo(obj.get());
    EXPECT_EQ(info.unitType, 'C');
    EXPECT_EQ(info.rotation, 1);
    EXPECT_EQ(info.A, 129.0);
    EXPECT_EQ(info.airPressure, DBL_MIN);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&info);
    EXPECT_EQ(bytes[81], 0);
}

TEST(PuExports, SetMarksOnlyThePredictedCardDirtyAndRederives) {
    ObjPtr obj = NewObj();
    const double strokeBefore = obj->pu.polishedStroke;
    ASSERT_EQ(SetPuInfo(obj.get(), MarkedInfo('C')), 1);
    EXPECT_EQ(obj->predDirty, 1);
    EXPECT_EQ(obj->measDirty, 0);
    EXPECT_EQ(obj->upscDirty, 0);
    EXPECT_GT(obj->pu.polishedStroke, 0.0);
    EXPECT_NE(obj->pu.polishedStroke, strokeBefore);
}

TEST(PuExports, SetClearsChainAndTimingInputs) {
    ObjPtr obj = NewObj();
    obj->pu.xRadius = 5.0;
    obj->pu.hUpTime = 3.0;
    obj->pu.crankOffset = 0.2;
    ASSERT_EQ(SetPuInfo(obj.get(), MarkedInfo('M')), 1);
    EXPECT_EQ(obj->pu.xRadius, 0.0);
    EXPECT_EQ(obj->pu.hUpTime, 0.0);
    EXPECT_EQ(obj->pu.crankOffset, 0.0);
}

TEST(PuExports, SecondNameIsTheSameEntryPoint) {
    ObjPtr viaInfo = NewObj();
    ObjPtr viaApi = NewObj();
    const PuInfo_t info = MarkedInfo('R');
    ASSERT_EQ(SetPuInfo(viaInfo.get(), info), 1);
    ASSERT_EQ(SetPuApi(viaApi.get(), info), 1);
    EXPECT_EQ(viaApi->predDirty, 1);
    EXPECT_EQ(std::memcmp(&viaInfo->pu, &viaApi->pu, sizeof(PumpingUnit)), 0);
}

TEST(PuExports, UnsupportedLetterIsLoggedButAccepted) {
    ObjPtr obj = NewObj();
    LogCapture log;
    EXPECT_EQ(SetPuInfo(obj.get(), MarkedInfo('H')), 1);
    EXPECT_TRUE(log.Contains("Unsupported Pumping Unit Type: H"));
    EXPECT_EQ(obj->pu.polishedStroke, 144.0);
}

TEST(PuExports, SetByNameIsNotImplemented) {
    ObjPtr obj = NewObj();
    LogCapture log;
    EXPECT_EQ(SetPuByName(obj.get(), "C-320D-256-100"), 0);
    EXPECT_TRUE(log.Contains("TODO: SetPuByName(C-320D-256-100)"));
    EXPECT_EQ(SetPuByName(obj.get(), nullptr), 0);
    EXPECT_EQ(log.Count("TODO: SetPuByName("), 2u);
}

TEST(PuExports, PermissibleLoadsOfDefaultUnitWithBand) {
    ObjPtr obj = NewObj();
    std::vector<double> positions(72), loads(72), whole(72);
    const double inf = std::numeric_limits<double>::infinity();
    ASSERT_EQ(GetPermissibleLoads(obj.get(), positions.data(), whole.data(), 72, 0.0, inf), 1);
    ASSERT_EQ(GetPermissibleLoads(obj.get(), positions.data(), loads.data(), 72, 0.0, 25000.0), 1);
    for (int k = 0; k < 72; ++k) {
        const int degrees = 5 * k;
        const bool negative = degrees == 0 || (degrees >= 190 && degrees <= 205) || degrees >= 335;
        const bool high = (degrees >= 5 && degrees <= 20) || (degrees >= 110 && degrees <= 185);
        EXPECT_EQ(std::isnan(loads[k]), negative || high) << degrees;
        EXPECT_EQ(whole[k] < 0.0, negative) << degrees;
        if (!std::isnan(loads[k])) {
            EXPECT_EQ(loads[k], whole[k]) << degrees;
        }
    }
}

TEST(PuExports, PermissibleLoadsBandCoversTheWholeCount) {
    ObjPtr obj = NewObj();
    std::vector<double> positions(80, 0.0), loads(80, 1e9);
    LogCapture log;
    ASSERT_EQ(GetPermissibleLoads(obj.get(), positions.data(), loads.data(), 80, -1e6, 1e6), 1);
    EXPECT_TRUE(log.Contains("Error: CalcPermissibleLoadBeam array size"));
    for (int k = 72; k < 80; ++k) EXPECT_TRUE(std::isnan(loads[k])) << k;
}

TEST(PuExports, PermissibleLoadsRefusesMissingArrays) {
    ObjPtr obj = NewObj();
    double buffer[72];
    LogCapture log;
    EXPECT_EQ(GetPermissibleLoads(obj.get(), nullptr, buffer, 72, 0.0, 1.0), 0);
    EXPECT_EQ(GetPermissibleLoads(obj.get(), buffer, nullptr, 72, 0.0, 1.0), 0);
    EXPECT_EQ(log.Count("GetPermissibleLoads needs position and load arrays"), 2u);
    EXPECT_EQ(GetPermissibleLoads(obj.get(), nullptr, nullptr, 0, 0.0, 1.0), 1);
}

TEST(PuExports, PermissibleLoadsRefusesANegativeCount) {
    ObjPtr obj = NewObj();
    std::vector<double> positions(72, -7.0), loads(72, -7.0);
    for (int32_t count : {-1, INT32_MIN}) {
        LogCapture log;
        EXPECT_EQ(GetPermissibleLoads(obj.get(), positions.data(), loads.data(), count, 0.0, 1.0), 0) << count;
        EXPECT_TRUE(log.Contains("Error: GetPermissibleLoads needs a count of 0 or more, not " + std::to_string(count)));
    }
    EXPECT_EQ(positions, std::vector<double>(72, -7.0)) << "nothing written";
    EXPECT_EQ(loads, std::vector<double>(72, -7.0));
}

TEST(PuExports, NullHandleIsRefused) {
    LogCapture log;
    double positions[72], loads[72];
    EXPECT_EQ(SetPuInfo(nullptr, MarkedInfo('C')), 0);
    EXPECT_EQ(GetPermissibleLoads(nullptr, positions, loads, 72, 0.0, 1.0), 0);
    const PuInfo_t info = GetPuInfo(nullptr);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&info);
    for (size_t b = 0; b < sizeof info; ++b) EXPECT_EQ(bytes[b], 0) << b;
    EXPECT_EQ(log.Count("needs a well object"), 3u);
}
