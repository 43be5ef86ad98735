#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "design_test_util.h"
#include "designfiles/design_document.h"
#include "log_capture.h"
#include "model/measured_card.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

using nlohmann::json;

TEST(DesignWriter, NewObjectGivesEmptyListsAndDefaultDepths) {
    TeskObj obj;
    LogCapture log;
    const json doc = WriteDesignJson(&obj);
    EXPECT_TRUE(doc["mia"].is_array() && doc["mia"].empty());
    EXPECT_TRUE(doc["diag"]["dyn"].is_array() && doc["diag"]["dyn"].empty());
    for (const char* section : {"pred", "diag"}) {
        EXPECT_TRUE(doc[section]["taper"].is_array() && doc[section]["taper"].empty()) << section;
        EXPECT_TRUE(doc[section]["tubing"].is_array() && doc[section]["tubing"].empty()) << section;
        EXPECT_EQ(doc[section]["anchor_depth"], -1.0) << section;
        EXPECT_EQ(doc[section]["pump_depth"], 0.0) << section;
    }
    EXPECT_EQ(doc["pred"]["fourier"], (json{{"p", 0}, {"l", 0}}));
    EXPECT_EQ(doc["pred"]["upsc"], 0);
    const std::vector<std::string> warnings(log.lines.begin(), log.lines.end());
    ASSERT_EQ(warnings.size(), 4u);
    EXPECT_EQ(warnings[0], "Warning: PRED Trying to get a taper before it was set");
    EXPECT_EQ(warnings[1], "Warning: PRED Trying to get a Tubing before it was set");
    EXPECT_EQ(warnings[2], "Warning: MEAS Trying to get a taper before it was set");
    EXPECT_EQ(warnings[3], "Warning: MEAS Trying to get a Tubing before it was set");
}

TEST(DesignWriter, SerialisedTextSortsMembersAndWritesFloatsAsFloats) {
    TeskObj obj;
    const TaperBase_t taper = Taper("1 in", 5000.0, 1.0, 2.904);
    ASSERT_TRUE(SetCardTapers(&obj.meas, &taper, 1, 1.0));
    const std::string text = WriteDesignJson(&obj).dump();
    EXPECT_EQ(text.find("{\"diag\":"), 0u);
    size_t last = 0;
    for (const char* key : {"\"lib\":[1,0,1,8]", "\"mia\":[]", "\"platform\":\"UNKNOWN\"", "\"pred\":",
                            "\"version\":[0,0,0,0]", "\"well_depth\":10000.0", "\"wellname\":\"DEFAULT NAME\"}"}) {
        const size_t at = text.find(key, last);
        ASSERT_NE(at, std::string::npos) << key;
        last = at;
    }
    EXPECT_NE(text.find("{\"D\":1.0,\"E\":30500000.0,\"L\":5000.0,\"R\":490.0,\"T\":115000.0,\"W\":2.904,\"id\":\"1 in\"}"),
              std::string::npos);
    EXPECT_EQ(text.find(' '), text.find("1 in") + 1);  // no whitespace between tokens
}

TEST(DesignWriter, TapersAreWrittenAsListedWithFullNames) {
    TeskObj obj;
    const std::string fullName(32, 'x');
    TaperBase_t tapers[3] = {Taper("a", 0.0, 1.0, 2.9), Taper("a", 100.0, 0.875, 2.2), Taper("", 50.0, 0.75, 1.6)};
    std::memcpy(tapers[2].id, fullName.data(), 32);
    ASSERT_TRUE(SetCardTapers(&obj.pred, tapers, 3, 1.0));
    json array = json::array();
    EXPECT_TRUE(TaperListToJson(&obj, array, true));
    ASSERT_EQ(array.size(), 3u);
    EXPECT_EQ(array[0]["L"], 0.0);
    EXPECT_EQ(array[0]["id"], "a");
    EXPECT_EQ(array[1]["id"], "a");
    EXPECT_EQ(array[2]["id"], fullName);
}

TEST(DesignWriter, DiagSectionCarriesMeasuredCardOnly) {
    TeskObj obj;
    obj.meas.pumpDia = 1.25;
    obj.upsc.pumpDia = 2.75;
    const TubingBase_t tubing = Tubing(4000.0, 3e-7);
    ASSERT_TRUE(SetCardTubings(&obj.meas, &tubing, 1));
    const json doc = WriteDesignJson(&obj);
    EXPECT_EQ(doc["diag"]["pump"]["dia"], 1.25);
    EXPECT_EQ(doc["diag"]["tubing"][0]["weight"], 3.5);
    EXPECT_EQ(doc["diag"]["anchor_depth"], 0.0);
}

TEST(DesignWriter, NonFiniteValuesBecomeNullWithAWarningNamingTheKey) {
    TeskObj obj;
    obj.wellDepth = std::numeric_limits<double>::quiet_NaN();
    obj.pred.pumpFit = std::numeric_limits<double>::infinity();
    const double positions[3] = {1, std::nan(""), 3};
    const double loads[3] = {std::nan(""), 5, std::nan("")};
    ASSERT_TRUE(LoadDynArrays(&obj, 6, positions, loads, 3));
    LogCapture log;
    const json doc = WriteDesignJson(&obj);
    EXPECT_TRUE(doc["well_depth"].is_null());
    EXPECT_TRUE(doc["pred"]["pump"]["fit"].is_null());
    EXPECT_TRUE(doc["diag"]["dyn"][1][0].is_null());
    EXPECT_EQ(doc["diag"]["dyn"][1][1], 5.0);
    EXPECT_TRUE(log.Contains("Warning: well_depth is not a finite number; written as null"));
    EXPECT_TRUE(log.Contains("Warning: pred.pump.fit is not a finite number; written as null"));
    EXPECT_EQ(log.Count("diag.dyn"), 1u);
}
