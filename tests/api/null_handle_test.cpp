// Every export that takes the host's handle, called with a null one: a clear failure value and
// one log line naming the export, never a crash. The table is checked against the public header,
// so an export added there without a row here fails the test.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "log_capture.h"
#include "tesk/tesk.h"

namespace {

template <typename Record>
bool AllZero(const Record& record) {
    Record zero;
    std::memset(&zero, 0, sizeof zero);
    return std::memcmp(&record, &zero, sizeof record) == 0;
}

struct NullCall {
    const char* name;
    std::function<bool()> answersAsFailure;  // calls the export with a null handle
    bool logsRefusal;                         // false for the exports that need no object
    const char* loggedAs = nullptr;           // the name in the line, when the export is an alias
};

double g_doubles[8] = {1, 2, 3, 4, 5, 6, 7, 8};
double g_out[5][8];
int32_t g_colors[8];
DesignSummary g_designs;
char g_text[] = "3\n0,1\n1,2\n2,3\n\n8\n";

const std::vector<NullCall>& NullCalls() {
    static const TaperBase_t taper = BuildTaperBase_t("t", 1000, 0.75, 0, 0, 0, 0);
    static const TubingBase_t tubing{1000, 2, 2.375, 0, 4.7, 0, 0, 0};
    static const MiaPoint_t row{100, 1, 2};
    static DeviationPoint_t survey[2];
    static TaperBase_t taperOut[2];
    static TubingBase_t tubingOut[2];
    static int32_t version[4];
    static const std::vector<NullCall> calls = {
        {"SetLoggingCallback", [] { SetLoggingCallback(nullptr, &LogCapture::Collect); return true; }, false},
        {"DeleteTeskObj", [] { DeleteTeskObj(nullptr); return true; }, false},
        {"GetTeskVersion",
         [] {
             return GetTeskVersion(nullptr, version) == TESK_VERSION_TWEAK && version[0] == TESK_VERSION_MAJOR &&
                    version[1] == TESK_VERSION_MINOR && version[2] == TESK_VERSION_PATCH &&
                    version[3] == TESK_VERSION_TWEAK;
         },
         false},
        {"SetClientVersion", [] { return SetClientVersion(nullptr, "host", 1, 2, 3, 4) == 0; }, true},
        {"SetWellName", [] { return SetWellName(nullptr, "well") == 0; }, true},
        {"GetWellName", [] { return GetWellName(nullptr) == nullptr; }, true},
        {"PrintTeskObj", [] { PrintTeskObj(nullptr); return true; }, true},
        {"SetDiagTapers", [] { return SetDiagTapers(nullptr, &taper, 1, 1.0) == 0; }, true},
        {"SetPredTapers", [] { return SetPredTapers(nullptr, &taper, 1, 1.0) == 0; }, true},
        {"GetDiagTaperCount", [] { return GetDiagTaperCount(nullptr) == 0; }, true},
        {"GetDiagTapers", [] { return GetDiagTapers(nullptr, taperOut) == 0; }, true},
        {"GetPredTaperCount", [] { return GetPredTaperCount(nullptr) == 0; }, true},
        {"GetPredTapers", [] { return GetPredTapers(nullptr, taperOut) == 0; }, true},
        {"CalculateKrToDepth", [] { return CalculateKrToDepth(nullptr, 500) == 0.0; }, true},
        {"SetDiagTubings", [] { return SetDiagTubings(nullptr, &tubing, 1) == 0; }, true},
        {"SetPredTubings", [] { return SetPredTubings(nullptr, &tubing, 1) == 0; }, true},
        {"GetDiagTubingCount", [] { return GetDiagTubingCount(nullptr) == 0; }, true},
        {"GetDiagTubings", [] { return GetDiagTubings(nullptr, tubingOut) == 0; }, true},
        {"GetPredTubingCount", [] { return GetPredTubingCount(nullptr) == 0; }, true},
        {"GetPredTubings", [] { return GetPredTubings(nullptr, tubingOut) == 0; }, true},
        {"SetDiagApiTaperByNumber", [] { return SetDiagApiTaperByNumber(nullptr, 76, 1.5, 5000) == 0; }, true},
        {"SetPredApiTaperByNumber", [] { return SetPredApiTaperByNumber(nullptr, 76, 1.5, 5000) == 0; }, true},
        {"LoadDyn", [] { return LoadDyn(nullptr, 8, g_doubles, g_doubles, 8) == 0; }, true},
        {"SetFourierCoeffCountPos", [] { return SetFourierCoeffCountPos(nullptr, 10) == 0; }, true},
        {"SetFourierCoeffCountLoad", [] { return SetFourierCoeffCountLoad(nullptr, 10) == 0; }, true},
        {"SetUpscaledDynoPointCount", [] { return SetUpscaledDynoPointCount(nullptr, 100) == 0; }, true},
        {"RunDesign", [] { return RunDesign(nullptr) == 0; }, true},
        {"GetMeasuredDyno", [] { return GetMeasuredDyno(nullptr, g_out[0], g_out[1]) == 0; }, true},
        {"GetUpscaledDyno", [] { return GetUpscaledDyno(nullptr, g_out[0], g_out[1]) == 0; }, true},
        {"GetPredDyno", [] { return GetPredDyno(nullptr, g_out[0], g_out[1]) == 0; }, true},
        {"GetMeasuredPump", [] { return GetMeasuredPump(nullptr, g_out[0], g_out[1]) == 0; }, true},
        {"GetUpscaledPump", [] { return GetUpscaledPump(nullptr, g_out[0], g_out[1]) == 0; }, true},
        {"GetPredPump", [] { return GetPredPump(nullptr, g_out[0], g_out[1]) == 0; }, true},
        {"GetMeasuredPumpColors", [] { return GetMeasuredPumpColors(nullptr, g_colors) == 0; }, true},
        {"GetUpscaledPumpColors", [] { return GetUpscaledPumpColors(nullptr, g_colors) == 0; }, true},
        {"GetPredPumpColors", [] { return GetPredPumpColors(nullptr, g_colors) == 0; }, true},
        {"GetMeasuredDynoPointCount", [] { return GetMeasuredDynoPointCount(nullptr) == 0; }, true},
        {"GetUpscaledDynoPointCount", [] { return GetUpscaledDynoPointCount(nullptr) == 0; }, true},
        {"GetPredDynoPointCount", [] { return GetPredDynoPointCount(nullptr) == 0; }, true},
        {"GetMeasuredRodLoading",
         [] { return GetMeasuredRodLoading(nullptr, g_out[0], g_out[1], g_out[2], g_out[3], g_out[4]) == 0; }, true},
        {"GetUpscaledRodLoading",
         [] { return GetUpscaledRodLoading(nullptr, g_out[0], g_out[1], g_out[2], g_out[3], g_out[4]) == 0; }, true},
        {"GetPredRodLoading",
         [] { return GetPredRodLoading(nullptr, g_out[0], g_out[1], g_out[2], g_out[3], g_out[4]) == 0; }, true},
        {"GetMeasuredRodLoadingCount", [] { return GetMeasuredRodLoadingCount(nullptr) == 0; }, true},
        {"GetUpscaledRodLoadingCount", [] { return GetUpscaledRodLoadingCount(nullptr) == 0; }, true},
        {"GetPredRodLoadingCount", [] { return GetPredRodLoadingCount(nullptr) == 0; }, true},
        {"GetIntermediateCard", [] { return GetIntermediateCard(nullptr, 0, 1, g_out[0], g_out[1]) == 0; }, true},
        {"GetIntermediateTimeSlice",
         [] { return GetIntermediateTimeSlice(nullptr, 0, 1, g_out[0], g_out[1]) == 0; }, true},
        {"SetWaveParams", [] { return SetWaveParams(nullptr, WaveParams_t{}) == 0; }, true},
        {"GetWaveParams", [] { return AllZero(GetWaveParams(nullptr)); }, true},
        {"SetWaveSettings", [] { return SetWaveSettings(nullptr, WaveSettings_t{}) == 0; }, true},
        {"GetWaveSettings", [] { return AllZero(GetWaveSettings(nullptr)); }, true},
        {"SetPuInfo", [] { return SetPuInfo(nullptr, PuInfo_t{}) == 0; }, true},
        {"SetPuApi", [] { return SetPuApi(nullptr, PuInfo_t{}) == 0; }, true, "SetPuInfo"},
        {"GetPuInfo", [] { return AllZero(GetPuInfo(nullptr)); }, true},
        {"SetPuByName", [] { return SetPuByName(nullptr, "C-228") == 0; }, true},
        {"GetPermissibleLoads",
         [] { return GetPermissibleLoads(nullptr, g_out[0], g_out[1], 8, 0, 30000) == 0; }, true},
        {"GetWaveParamsReadOnly", [] { return AllZero(GetWaveParamsReadOnly(nullptr)); }, true},
        {"GetWaveResults", [] { return AllZero(GetWaveResults(nullptr)); }, true},
        {"CalculateFo", [] { return CalculateFo(nullptr) == 0.0; }, true},
        {"SetDeviationSurvey", [] { return SetDeviationSurvey(nullptr, 1, g_doubles, g_doubles, g_doubles) == 0; }, true},
        {"SetDeviationSurveyWithMIA", [] { return SetDeviationSurveyWithMIA(nullptr, 1, &row) == 0; }, true},
        {"GetDeviationSurvey", [] { return GetDeviationSurvey(nullptr, survey) == 0; }, true},
        {"GetDeviationSurveyCount", [] { return GetDeviationSurveyCount(nullptr) == 0; }, true},
        {"LoadDynFromFile", [] { return LoadDynFromFile(nullptr, TESK_DATA_DIR "/sample_well.dyn") == 0; }, true},
        {"LoadDynFromFileContents", [] { return LoadDynFromFileContents(nullptr, g_text) == 0; }, true},
        {"ParseDesignFile", [] { return ParseDesignFile(nullptr, TESK_DATA_DIR "/sample_well.json") == 0; }, true},
        {"ParseDesignFileContents", [] { return ParseDesignFileContents(nullptr, g_text, 'J') == 0; }, true},
        {"WriteDesignFile", [] { return WriteDesignFile(nullptr, "/nonexistent-dir/never.json") == 0; }, true},
        {"WriteDesignFileWithTemplate",
         [] { return WriteDesignFileWithTemplate(nullptr, "/nonexistent-dir/a.json", "/nonexistent-dir/b.json") == 0; },
         true},
        {"Login", [] { return Login(nullptr, "alice", "secret") == 0; }, true},
        {"Logout", [] { return Logout(nullptr) == 0; }, true},
        {"FetchDesigns", [] { return FetchDesigns(nullptr, 1) == -1; }, true},
        {"GetDesigns", [] { return GetDesigns(nullptr, &g_designs) == 0; }, true},
        {"GetDesign", [] { return GetDesign(nullptr, "us-east-1:any_id") == 0; }, true},
        {"SaveCurrentDesign", [] { return SaveCurrentDesign(nullptr, 1) == 0; }, true},
        {"Test", [] { Test(nullptr); return true; }, true},
    };
    return calls;
}

// Names of the header's exports that take a TeskObj*, read from the declarations themselves:
// each starts a line with TESK_API and ends at its semicolon; the name stands before the '('.
std::set<std::string> HandleTakingExportsOfHeader() {
    std::ifstream header(TESK_DATA_DIR "/../include/tesk/tesk.h");
    std::stringstream text;
    text << header.rdbuf();
    const std::string all = text.str();
    const std::string marker = "\nTESK_API ";
    std::set<std::string> names;
    for (size_t at = all.find(marker); at != std::string::npos; at = all.find(marker, at + 1)) {
        const std::string declaration = all.substr(at, all.find(';', at) - at);
        const size_t open = declaration.find('(');
        if (open == std::string::npos) continue;
        size_t start = open;
        while (start > 0 && (std::isalnum(static_cast<unsigned char>(declaration[start - 1])) ||
                             declaration[start - 1] == '_')) {
            --start;
        }
        if (declaration.find("TeskObj*", open) != std::string::npos) names.insert(declaration.substr(start, open - start));
    }
    return names;
}

TEST(NullHandle, TableCoversEveryHandleTakingExportOfTheHeader) {
    const std::set<std::string> inHeader = HandleTakingExportsOfHeader();
    ASSERT_FALSE(inHeader.empty()) << "the public header could not be read";
    std::set<std::string> inTable;
    for (const NullCall& call : NullCalls()) inTable.insert(call.name);
    for (const std::string& name : inHeader) EXPECT_TRUE(inTable.count(name)) << name << " has no null-handle row";
    for (const std::string& name : inTable) EXPECT_TRUE(inHeader.count(name)) << name << " is not in the header";
}

TEST(NullHandle, EveryExportFailsCleanlyWithOneLine) {
    for (const NullCall& call : NullCalls()) {
        LogCapture log;
        EXPECT_TRUE(call.answersAsFailure()) << call.name;
        if (call.logsRefusal) {
            const std::string named = std::string(call.loggedAs != nullptr ? call.loggedAs : call.name);
            EXPECT_EQ(log.lines.size(), 1u) << call.name;
            EXPECT_EQ(log.Count(named + " needs a well object"), 1u) << call.name;
        } else {
            EXPECT_TRUE(log.lines.empty()) << call.name;
        }
    }
}

}  // namespace
