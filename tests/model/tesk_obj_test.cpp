#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "log_capture.h"
#include "model/tesk_obj.h"

namespace {
struct Well {
    TeskObj* obj = CreateTeskObj();
    ~Well() { DeleteTeskObj(obj); }
};
}  // namespace

TEST(TeskObj, NewObjectDefaults) {
    Well w;
    ASSERT_NE(w.obj, nullptr);
    EXPECT_STREQ(GetWellName(w.obj), "New Well");
    EXPECT_STREQ(w.obj->platform, "UNKNOWN");
    int32_t version[4] = {9, 9, 9, 9};
    EXPECT_EQ(GetTeskVersion(w.obj, version), TESK_VERSION_TWEAK);
    EXPECT_EQ(version[0], TESK_VERSION_MAJOR);
    EXPECT_EQ(version[1], TESK_VERSION_MINOR);
    EXPECT_EQ(version[2], TESK_VERSION_PATCH);
    EXPECT_EQ(version[3], TESK_VERSION_TWEAK);
    for (int32_t v : w.obj->version) EXPECT_EQ(v, 0);
    EXPECT_EQ(w.obj->wellDepth, 10000.0);
    EXPECT_EQ(w.obj->measPumpLoadMax, -DBL_MAX);
    EXPECT_EQ(w.obj->measPumpLoadMin, DBL_MAX);
    EXPECT_EQ(w.obj->predCycles, 5);
    EXPECT_EQ(w.obj->fo, 1000.0);
    EXPECT_EQ(w.obj->fillage, 1.0);
    EXPECT_EQ(w.obj->meas.intermediate.enabled, 1);
    EXPECT_EQ(w.obj->upsc.intermediate.enabled, 0);
    EXPECT_EQ(w.obj->pred.intermediate.enabled, 1);
    EXPECT_EQ(w.obj->meas.diagNodeLength, 25.0);
    EXPECT_EQ(w.obj->upsc.diagNodeLength, 25.0);
    EXPECT_EQ(w.obj->pred.diagNodeLength, 66.0);
    EXPECT_EQ(w.obj->pred.predNodeLength, 1000.0);
    EXPECT_EQ(w.obj->meas.predNodeLength, 66.0);
    EXPECT_EQ(w.obj->pred.nodesPerSection, 10);
    EXPECT_EQ(w.obj->meas.nodesPerSection, 4);
    EXPECT_EQ(w.obj->pred.isDiag, 0);
    EXPECT_EQ(w.obj->meas.isDiag, 1);
    EXPECT_EQ(w.obj->pu.unitType, 'C');
    EXPECT_EQ(w.obj->pu.airPressure, DBL_MIN);
    ASSERT_NE(w.obj->fourier, nullptr);
}

TEST(TeskObj, TextFieldsAreCutToTheirSize) {
    Well w;
    const char* before = GetWellName(w.obj);
    std::string longName(70, 'n');
    EXPECT_EQ(SetWellName(w.obj, longName.c_str()), 1);
    EXPECT_EQ(GetWellName(w.obj), before);
    EXPECT_EQ(std::string(before), longName.substr(0, 63));
    EXPECT_EQ(SetClientVersion(w.obj, "ABCDEFGHIJKLMNOPQRST", 4, 3, 2, 1), 1);
    EXPECT_STREQ(w.obj->platform, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(w.obj->version[0], 4);
    EXPECT_EQ(w.obj->version[3], 1);
}

TEST(TeskObj, RenamingWithItsOwnNameAndNullTexts) {
    Well w;
    ASSERT_EQ(SetWellName(w.obj, "Smith 12-4"), 1);
    EXPECT_EQ(SetWellName(w.obj, GetWellName(w.obj)), 1);
    EXPECT_STREQ(GetWellName(w.obj), "Smith 12-4");
    LogCapture log;
    EXPECT_EQ(SetWellName(w.obj, nullptr), 0);
    EXPECT_EQ(SetClientVersion(w.obj, nullptr, 1, 2, 3, 4), 0);
    EXPECT_STREQ(GetWellName(w.obj), "Smith 12-4");
    EXPECT_STREQ(w.obj->platform, "UNKNOWN");
    EXPECT_EQ(w.obj->version[0], 0);
    EXPECT_EQ(log.lines.size(), 2u);
}

TEST(TeskObj, NameCutKeepsUtf8CharactersWhole) {
    Well w;
    std::string name(62, 'a');
    name += "\xC3\xA9";  // a two-byte character straddling the 63-byte limit
    SetWellName(w.obj, name.c_str());
    EXPECT_EQ(std::string(GetWellName(w.obj)), std::string(62, 'a'));
}

TEST(TeskObj, DeleteNullDoesNothing) { DeleteTeskObj(nullptr); }

TEST(TeskObj, RunteskCountsAcrossObjectsAndThreads) {
    int first = runtesk();
    EXPECT_EQ(runtesk(), first + 1);
    {
        Well w;
        EXPECT_EQ(runtesk(), first + 2);
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 1000; ++i) runtesk();
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(runtesk(), first + 4003);
}

TEST(TeskObj, PrintNewObject) {
    Well w;
    LogCapture log;
    PrintTeskObj(w.obj);
    ASSERT_GE(log.lines.size(), 8u);
    EXPECT_EQ(log.lines[0], "Well Name: New Well");
    EXPECT_EQ(log.lines[1], "Well Depth: 10000.00");
    EXPECT_EQ(log.lines[2], "Fo: 1000.00");
    EXPECT_EQ(log.lines[3], "Fillage:  100 %");
    EXPECT_EQ(log.lines[4], "--------------");
    EXPECT_EQ(log.lines[5], "Config: PRED");
    EXPECT_EQ(log.lines.back(), "--------------");
    EXPECT_EQ(log.Count("Warning: PRED Trying to get a taper before it was set"), 1u);
    EXPECT_EQ(log.Count("Warning: PRED Trying to get a Tubing before it was set"), 1u);
    EXPECT_EQ(log.Count("Warning: MEAS Trying to get a taper before it was set"), 1u);
    EXPECT_EQ(log.Count("Warning: MEAS Trying to get a Tubing before it was set"), 1u);
    EXPECT_FALSE(log.Contains("UPSC"));
    EXPECT_TRUE(log.Contains("Anchor Depth: -1.00"));
    // The taper warning follows the card's "Taper:" line.
    for (size_t i = 0; i + 1 < log.lines.size(); ++i) {
        if (log.lines[i] == "PRED Taper:") {
            EXPECT_EQ(log.lines[i + 1], "Warning: PRED Trying to get a taper before it was set");
        }
    }
}

TEST(TeskObj, CallbackRegisteredThroughAnyHandleServesAllObjects) {
    Well a, b;
    std::vector<std::string> lines;
    {
        LogCapture log;  // registers with a null handle
        PrintTeskObj(b.obj);
        EXPECT_TRUE(log.Contains("Well Name: New Well"));
    }
}
