#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "log_capture.h"
#include "model/deviation_survey.h"
#include "model/tesk_obj.h"

namespace {

struct ObjDeleter {
    void operator()(TeskObj* obj) const { DeleteTeskObj(obj); }
};
using ObjPtr = std::unique_ptr<TeskObj, ObjDeleter>;

ObjPtr NewObj() { return ObjPtr(CreateTeskObj()); }

std::vector<DeviationPoint_t> ReadSurvey(TeskObj* obj) {
    std::vector<DeviationPoint_t> out(static_cast<size_t>(GetDeviationSurveyCount(obj)));
    if (!out.empty()) std::memset(out.data(), 0xFF, out.size() * sizeof(DeviationPoint_t));
    EXPECT_TRUE(GetDeviationSurvey(obj, out.data()));
    return out;
}

}  // namespace

TEST(DeviationSurvey, ParallelArraysRoundTripWithZeroedExtras) {
    ObjPtr obj = NewObj();
    const double md[] = {0, 1500, 4200};
    const double inc[] = {0, 12.5, 31};
    const double az[] = {0, 270, 281.25};
    EXPECT_TRUE(SetDeviationSurvey(obj.get(), 3, md, inc, az));
    EXPECT_EQ(obj->wellDepth, 10000.0);
    const std::vector<DeviationPoint_t> out = ReadSurvey(obj.get());
    ASSERT_EQ(out.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i].index, i);
        EXPECT_EQ(out[i].zero, 0);
        EXPECT_EQ(out[i].md, md[i]);
        EXPECT_EQ(out[i].inclination, inc[i]);
        EXPECT_EQ(out[i].azimuth, az[i]);
        for (double r : out[i].reserved) EXPECT_EQ(r, 0.0);
    }
}

TEST(DeviationSurvey, RowsSetTheWellDepthToTheLastRowGiven) {
    struct Case {
        std::vector<MiaPoint_t> rows;
        double depth;
    };
    const Case cases[] = {
        {{{100, 1, 2}, {2500, 3, 4}}, 2500},
        {{{2500, 3, 4}, {100, 1, 2}}, 100},
        {{}, 10000},
    };
    for (const Case& c : cases) {
        ObjPtr obj = NewObj();
        const MiaPoint_t seed[] = {{10, 0, 0}};
        SetDeviationSurveyWithMIA(obj.get(), 1, seed);
        obj->wellDepth = 10000;
        EXPECT_TRUE(SetDeviationSurveyWithMIA(obj.get(), static_cast<int32_t>(c.rows.size()), c.rows.data()));
        EXPECT_EQ(obj->wellDepth, c.depth);
        const std::vector<DeviationPoint_t> out = ReadSurvey(obj.get());
        ASSERT_EQ(out.size(), c.rows.size());
        for (size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].md, c.rows[i].md);
            EXPECT_EQ(out[i].azimuth, c.rows[i].azimuth);
        }
    }
}

TEST(DeviationSurvey, ShorterSurveyReplacesALongerOne) {
    ObjPtr obj = NewObj();
    const double v[] = {1, 2, 3, 4, 5};
    SetDeviationSurvey(obj.get(), 5, v, v, v);
    SetDeviationSurvey(obj.get(), 2, v + 3, v, v);
    const std::vector<DeviationPoint_t> out = ReadSurvey(obj.get());
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].md, 4.0);
    EXPECT_EQ(out[1].index, 1);
}

TEST(DeviationSurvey, RefusedInputKeepsSurveyAndDepth) {
    const double v[] = {100, 200};
    const MiaPoint_t rows[] = {{300, 1, 1}};
    struct Case {
        const char* what;
        bool (*call)(TeskObj*, const double*, const MiaPoint_t*);
    };
    const Case cases[] = {
        {"negative count", [](TeskObj* o, const double* a, const MiaPoint_t*) { return bool(SetDeviationSurvey(o, -1, a, a, a)); }},
        {"null md", [](TeskObj* o, const double* a, const MiaPoint_t*) { return bool(SetDeviationSurvey(o, 2, nullptr, a, a)); }},
        {"null inclination", [](TeskObj* o, const double* a, const MiaPoint_t*) { return bool(SetDeviationSurvey(o, 2, a, nullptr, a)); }},
        {"null azimuth", [](TeskObj* o, const double* a, const MiaPoint_t*) { return bool(SetDeviationSurvey(o, 2, a, a, nullptr)); }},
        {"negative rows", [](TeskObj* o, const double*, const MiaPoint_t* r) { return bool(SetDeviationSurveyWithMIA(o, -7, r)); }},
        {"null rows", [](TeskObj* o, const double*, const MiaPoint_t*) { return bool(SetDeviationSurveyWithMIA(o, 3, nullptr)); }},
    };
    for (const Case& c : cases) {
        ObjPtr obj = NewObj();
        SetDeviationSurveyWithMIA(obj.get(), 1, rows);
        LogCapture log;
        EXPECT_FALSE(c.call(obj.get(), v, rows)) << c.what;
        EXPECT_FALSE(log.lines.empty()) << c.what;
        EXPECT_EQ(obj->wellDepth, 300.0) << c.what;
        ASSERT_EQ(GetDeviationSurveyCount(obj.get()), 1) << c.what;
        EXPECT_EQ(obj->deviationSurvey[0].md, 300.0) << c.what;
    }
}

TEST(DeviationSurvey, ZeroCountNeedsNoArrays) {
    ObjPtr obj = NewObj();
    const double v[] = {1};
    SetDeviationSurvey(obj.get(), 1, v, v, v);
    EXPECT_TRUE(SetDeviationSurvey(obj.get(), 0, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetDeviationSurveyCount(obj.get()), 0);
    EXPECT_TRUE(GetDeviationSurvey(obj.get(), nullptr));
}

TEST(DeviationSurvey, GetNeedsABufferWhenThereAreStations) {
    ObjPtr obj = NewObj();
    const double v[] = {1};
    SetDeviationSurvey(obj.get(), 1, v, v, v);
    LogCapture log;
    EXPECT_FALSE(GetDeviationSurvey(obj.get(), nullptr));
    EXPECT_FALSE(log.lines.empty());
}

TEST(DeviationSurvey, FromRowsTakesOverAndReleasesTheRows) {
    ObjPtr obj = NewObj();
    std::vector<MiaPoint_t> rows = {{0, 0, 0}, {800, 5, 90}, {1600, 9, 95}};
    EXPECT_TRUE(SetDeviationSurveyFromRows(obj.get(), &rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(rows.capacity(), 0u);
    EXPECT_EQ(obj->wellDepth, 1600.0);
    const std::vector<DeviationPoint_t> out = ReadSurvey(obj.get());
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].index, 2);
    EXPECT_EQ(out[1].inclination, 5.0);
}

TEST(DeviationSurvey, FromNoRowsEmptiesTheSurveyAndKeepsTheDepth) {
    ObjPtr obj = NewObj();
    const double v[] = {1, 2};
    SetDeviationSurvey(obj.get(), 2, v, v, v);
    std::vector<MiaPoint_t> rows;
    EXPECT_TRUE(SetDeviationSurveyFromRows(obj.get(), &rows));
    EXPECT_EQ(GetDeviationSurveyCount(obj.get()), 0);
    EXPECT_EQ(obj->wellDepth, 10000.0);
}
