#pragma once
// Shared helpers of the Rodstar and SROD tests: reading a design text into an object and
// looking at what the object holds through the exported getters.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "designfiles/xml_template_writer.h"
#include "model/tesk_obj.h"
#include "design_test_util.h"
#include "log_capture.h"
#include "temp_path.h"
#include "tesk/tesk.h"

struct ObjDeleter {
    void operator()(TeskObj* obj) const { DeleteTeskObj(obj); }
};
using ObjPtr = std::unique_ptr<TeskObj, ObjDeleter>;

inline ObjPtr NewObj() { return ObjPtr(CreateTeskObj()); }

// The readers parse in place, so each call gets its own writable copy of the text.
inline bool ParseCopy(bool (*reader)(TeskObj*, char*), TeskObj* obj, const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return reader(obj, buffer.data());
}

inline std::vector<TaperBase_t> PredTapers(TeskObj* obj) {
    std::vector<TaperBase_t> tapers(static_cast<size_t>(GetPredTaperCount(obj)));
    EXPECT_TRUE(GetPredTapers(obj, tapers.data()));
    return tapers;
}

inline std::vector<TaperBase_t> DiagTapers(TeskObj* obj) {
    std::vector<TaperBase_t> tapers(static_cast<size_t>(GetDiagTaperCount(obj)));
    EXPECT_TRUE(GetDiagTapers(obj, tapers.data()));
    return tapers;
}

inline std::vector<TubingBase_t> PredTubings(TeskObj* obj) {
    std::vector<TubingBase_t> tubings(static_cast<size_t>(GetPredTubingCount(obj)));
    EXPECT_TRUE(GetPredTubings(obj, tubings.data()));
    return tubings;
}

inline std::vector<TubingBase_t> DiagTubings(TeskObj* obj) {
    std::vector<TubingBase_t> tubings(static_cast<size_t>(GetDiagTubingCount(obj)));
    EXPECT_TRUE(GetDiagTubings(obj, tubings.data()));
    return tubings;
}

inline std::vector<DeviationPoint_t> Survey(TeskObj* obj) {
    std::vector<DeviationPoint_t> rows(static_cast<size_t>(GetDeviationSurveyCount(obj)));
    EXPECT_TRUE(GetDeviationSurvey(obj, rows.data()));
    return rows;
}

template <typename Record>
bool SameBytes(const std::vector<Record>& a, const std::vector<Record>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Record)) == 0);
}

// Everything a refused text must leave alone, byte for byte.
struct ObjectState {
    std::string wellName;
    WaveParams_t params;
    std::vector<TaperBase_t> predTapers, diagTapers;
    std::vector<TubingBase_t> predTubings, diagTubings;
    std::vector<DeviationPoint_t> survey;
    uint8_t dirty[3];
};

inline ObjectState CaptureState(TeskObj* obj) {
    return ObjectState{GetWellName(obj),  GetWaveParams(obj), PredTapers(obj), DiagTapers(obj), PredTubings(obj),
                       DiagTubings(obj),  Survey(obj),        {obj->measDirty, obj->upscDirty, obj->predDirty}};
}

inline void ExpectSameState(const ObjectState& a, const ObjectState& b) {
    EXPECT_EQ(a.wellName, b.wellName);
    EXPECT_EQ(std::memcmp(&a.params, &b.params, sizeof a.params), 0);
    EXPECT_TRUE(SameBytes(a.predTapers, b.predTapers));
    EXPECT_TRUE(SameBytes(a.diagTapers, b.diagTapers));
    EXPECT_TRUE(SameBytes(a.predTubings, b.predTubings));
    EXPECT_TRUE(SameBytes(a.diagTubings, b.diagTubings));
    EXPECT_TRUE(SameBytes(a.survey, b.survey));
    EXPECT_EQ(std::memcmp(a.dirty, b.dirty, sizeof a.dirty), 0);
}

// An object with a design of its own, so that a reader that wrongly applies something shows.
inline ObjPtr ObjWithDesign() {
    ObjPtr obj = NewObj();
    SetWellName(obj.get(), "Before");
    const TaperBase_t taper = BuildTaperBase_t("before", 3000, 0.875, 0, 0, 0, 0);
    SetPredTapers(obj.get(), &taper, 1, 0.9);
    SetDiagTapers(obj.get(), &taper, 1, 0.9);
    TubingBase_t tubing{};
    tubing.L = 3000;
    tubing.OD = 2.375;
    SetPredTubings(obj.get(), &tubing, 1);
    SetDiagTubings(obj.get(), &tubing, 1);
    const double md[] = {0, 2500}, inclination[] = {0, 3}, azimuth[] = {0, 90};
    SetDeviationSurvey(obj.get(), 2, md, inclination, azimuth);
    obj->measDirty = obj->upscDirty = obj->predDirty = 0;
    return obj;
}

inline void ExpectTaper(const TaperBase_t& t, double L, double D, double W, double T, double E, double R) {
    EXPECT_EQ(t.L, L);
    EXPECT_EQ(t.D, D);
    EXPECT_EQ(t.W, W);
    EXPECT_EQ(t.T, T);
    EXPECT_EQ(t.E, E);
    EXPECT_EQ(t.R, R);
    EXPECT_EQ(t.id[0], '\0');
}

// The one tubing section the outside formats give: its length and outside diameter, all else 0.
inline void ExpectOneSection(const std::vector<TubingBase_t>& tubings, double length, double outside) {
    ASSERT_EQ(tubings.size(), 1u);
    TubingBase_t expected{};
    expected.L = length;
    expected.OD = outside;
    EXPECT_EQ(std::memcmp(&tubings[0], &expected, sizeof expected), 0);
}

// One outside XML format: its reader and writer, built-in template and well-name path.
struct XmlFormat {
    bool (*read)(TeskObj*, char*);
    bool (*write)(TeskObj*, const char*, pugi::xml_document&);
    const char* builtInTemplate;
    const char* inputName;
    const char* wellNameElement;
    const char* extension;
};

// A text the reader must refuse before applying anything, with the line it must log.
struct RefusedText {
    const char* label;
    std::string text;
    const char* line;
};

// Also a null text, with its line, and a JSON design given the format's letter through the export.
inline void ExpectRefusedTextsLeaveTheObjectUnchanged(const XmlFormat& format, const std::vector<RefusedText>& cases,
                                                      const char* nullTextLine, char letter) {
    for (const RefusedText& c : cases) {
        SCOPED_TRACE(c.label);
        ObjPtr obj = ObjWithDesign();
        const ObjectState before = CaptureState(obj.get());
        LogCapture log;
        EXPECT_FALSE(ParseCopy(format.read, obj.get(), c.text));
        EXPECT_TRUE(log.Contains(c.line));
        ExpectSameState(before, CaptureState(obj.get()));
    }
    ObjPtr obj = ObjWithDesign();
    const ObjectState before = CaptureState(obj.get());
    LogCapture log;
    EXPECT_FALSE(format.read(obj.get(), nullptr));
    EXPECT_TRUE(log.Contains(nullTextLine));
    char json[] = R"({"wellname": "json well", "lib": [1, 0, 1, 8]})";
    EXPECT_EQ(ParseDesignFileContents(obj.get(), json, letter), 0);
    ExpectSameState(before, CaptureState(obj.get()));
}

// What the writer must save: a declaration line, then the template with its own layout and the
// well name in place, nothing else changed.
inline std::string WithWellName(const XmlFormat& format, const std::string& xml, const char* name) {
    pugi::xml_document doc;
    EXPECT_TRUE(LoadTemplateXml(&doc, xml.c_str()));
    doc.document_element().child(format.inputName).child(format.wellNameElement).last_child().set_value(name);
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return "<?xml version=\"1.0\"?>\n" + out.str() + "\n";
}

// Names that must come back as they went in, and must not forge elements of their own.
inline void ExpectBuiltInTemplateReceivesOnlyTheWellName(const XmlFormat& format) {
    for (const char* name : {"A & B < C ]]> D", "<WellName>forged</WellName><r:well-name/>", "quote \" ' end"}) {
        SCOPED_TRACE(name);
        ObjPtr obj = NewObj();
        SetWellName(obj.get(), name);
        pugi::xml_document doc;
        ASSERT_TRUE(LoadTemplateXml(&doc, format.builtInTemplate));
        const std::string path = TestTempPath(format.extension);
        LogCapture log;
        EXPECT_FALSE(format.write(obj.get(), path.c_str(), doc));
        const std::string written = ReadFileText(path);
        EXPECT_EQ(written, WithWellName(format, format.builtInTemplate, name));
        ObjPtr back = NewObj();
        ASSERT_TRUE(ParseCopy(format.read, back.get(), written));
        EXPECT_STREQ(GetWellName(back.get()), name);
        std::remove(path.c_str());
    }
}
