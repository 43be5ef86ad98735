#include <gtest/gtest.h>

#include "temp_path.h"

#include <cstdio>
#include <functional>
#include <string>

#include "design_test_util.h"
#include "designfiles/design_dispatch.h"
#include "log_capture.h"
#include "model/tesk_obj.h"

namespace {
const char kSampleWell[] = TESK_DATA_DIR "/fixtures/designfiles/sample_well.json";
}

TEST(DesignFileType, OnlyTheFirstLetterAfterTheLastDotCounts) {
    struct Case {
        const char* path;
        char type;
    };
    for (const Case& c : {Case{"well.r", 'R'}, Case{"well.Rabc", 'R'}, Case{"well.i", 'S'}, Case{"well.xml.I", 'S'},
                          Case{"well.q", 'Q'}, Case{"well.QROD", 'Q'}, Case{"well.j", 'J'}, Case{"well.json", 'J'},
                          Case{"well.txt", 0}, Case{"well.", 0}, Case{"well", 0}, Case{".q", 0}, Case{"", 0},
                          Case{"C:\\wells.q\\design", 'Q'}, Case{"dir.j/well", 'J'}}) {
        EXPECT_EQ(DesignFileType(c.path), c.type) << c.path;
    }
    EXPECT_EQ(DesignFileType(nullptr), 0);
}

class DesignDispatch : public ::testing::Test {
protected:
    std::vector<std::string> created;
    std::string Make(const std::string& name, const std::string& text) {
        created.push_back(TestTempPath(name));
        WriteFileText(created.back(), text);
        return created.back();
    }
    void TearDown() override {
        for (const std::string& path : created) std::remove(path.c_str());
    }
};

TEST_F(DesignDispatch, ReadsTheOwnFormatFromAFile) {
    TeskObj obj;
    LogCapture log;
    ASSERT_TRUE(ReadDesignFile(&obj, kSampleWell));
    EXPECT_EQ(log.lines.front(), std::string("Opening file: ") + kSampleWell);
    EXPECT_STREQ(obj.wellName, "Sample Well N\xc2\xba 7");
    EXPECT_EQ(obj.meas.PointCount, 40);
}

TEST_F(DesignDispatch, FileFailures) {
    const std::string empty = Make("dispatch_empty.j", "");
    const std::string unknown = Make("dispatch_design.txt", ReadFileText(kSampleWell));
    struct Case {
        const char* path;
        const char* line;
    };
    const std::string missing = TestTempPath("dispatch_missing.j");
    for (const Case& c : {Case{empty.c_str(), "Error reading design file! errno:0, filesize:0, items_read=0"},
                          Case{missing.c_str(), "Error opening design file! errno:2"},
                          Case{nullptr, "Error opening design file! errno:22"},
                          Case{unknown.c_str(), "Unsupported File Type"}}) {
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(ReadDesignFile(&obj, c.path)) << c.line;
        EXPECT_EQ(log.lines.back(), c.line);
        EXPECT_LE(log.lines.size(), 2u) << c.line;
        EXPECT_STREQ(obj.wellName, "DEFAULT NAME");
    }
}

TEST_F(DesignDispatch, EveryLetterReachesItsReader) {
    struct Case {
        char type;
        const char* extension;
        std::string text;
        bool result;
        const char* line;  // the reader's last line, or for JSON the one before the parser's message
    };
    const Case cases[] = {
        {'Q', "qrod", "Title:Letter Q\n", true, "QROD NAME ---Letter Q---"},
        {'R', "rsx", "Title:Letter Q\n", false, "Error: the Rodstar design is not well-formed XML"},
        {'S', "i", "<Other/>", false, "Error: the SROD design has no \"Case\" element"},
        {'J', "json", "{}", false, "A JSON error occurred"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string path = Make(std::string("dispatch_letter.") + c.extension, c.text);
        for (bool fromFile : {false, true}) {
            TeskObj obj;
            LogCapture log;
            std::string buffer = c.text;
            const bool result = fromFile ? ReadDesignFile(&obj, path.c_str()) : ReadDesignText(&obj, &buffer[0], c.type);
            EXPECT_EQ(result, c.result);
            ASSERT_FALSE(log.lines.empty());
            const std::string& last = c.type == 'J' ? log.lines.at(log.lines.size() - 2) : log.lines.back();
            EXPECT_EQ(last.rfind(c.line, 0), 0u) << last;
            EXPECT_STREQ(obj.wellName, c.result ? "Letter Q" : "DEFAULT NAME");
        }
    }
}

TEST_F(DesignDispatch, XmlFormatsSaveTheWellNameAndReportFailure) {
    TeskObj obj;
    SetWellName(&obj, "Name <&> ]]> kept");
    struct Case {
        const char* extension;
        const char* customFailure;
    };
    for (const Case& c : {Case{"rsx", "Couldn't load custom rodstar file template: "},
                          Case{"ixml", "Couldn't load custom srod file template: "}}) {
        SCOPED_TRACE(c.extension);
        const std::string out = TestTempPath(std::string("dispatch_xml.") + c.extension);
        created.push_back(out);
        EXPECT_FALSE(SaveDesignFile(&obj, out.c_str()));
        const std::string saved = ReadFileText(out);
        EXPECT_NE(saved.find("Name &lt;&amp;&gt; ]]&gt; kept"), std::string::npos) << saved;
        const std::string again = TestTempPath(std::string("dispatch_xml_again.") + c.extension);
        created.push_back(again);
        EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, again.c_str(), out.c_str()));
        EXPECT_EQ(ReadFileText(again), saved) << "a saved file serves as a template";
        LogCapture log;
        const std::string missing = TestTempPath(std::string("dispatch_missing.") + c.extension);
        EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, again.c_str(), missing.c_str()));
        EXPECT_EQ(log.lines.back(), std::string(c.customFailure) + "File was not found");
        EXPECT_EQ(ReadFileText(again), saved);
    }
}

TEST_F(DesignDispatch, QrodTemplateFileFailures) {
    const std::string empty = Make("dispatch_empty_template.q", "");
    const std::string missing = TestTempPath("dispatch_missing_template.q");
    const std::string out = TestTempPath("dispatch_template_failure.q");
    struct Case {
        const std::string& templatePath;
        const char* line;
    };
    for (const Case& c : {Case{empty, "Error reading design file template! errno:0"},
                          Case{missing, "Error Opening qrod file!"}}) {
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, out.c_str(), c.templatePath.c_str()));
        EXPECT_EQ(log.lines, (std::vector<std::string>{"WriteDesignFileWithTemplate Q",
                                                       "Opening file: " + c.templatePath, c.line}));
        EXPECT_FALSE(FileExists(out));
    }
}

TEST_F(DesignDispatch, TextWithOtherLettersFailsSilently) {
    std::string text = ReadFileText(kSampleWell);
    for (char type : {'q', 'j', 'X', '\0'}) {
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(ReadDesignText(&obj, &text[0], type));
        EXPECT_TRUE(log.lines.empty());
        EXPECT_STREQ(obj.wellName, "DEFAULT NAME");
    }
    TeskObj obj;
    EXPECT_TRUE(ReadDesignText(&obj, &text[0], 'J'));
    EXPECT_EQ(text, ReadFileText(kSampleWell));  // the own format leaves the text alone
}

TEST_F(DesignDispatch, WritesTheOwnFormat) {
    TeskObj obj;
    const std::string out = TestTempPath("dispatch_written.JSON");
    created.push_back(out);
    ASSERT_TRUE(SaveDesignFile(&obj, out.c_str()));
    TeskObj back;
    EXPECT_TRUE(ReadDesignFile(&back, out.c_str()));
}

TEST_F(DesignDispatch, WriteFailures) {
    TeskObj obj;
    LogCapture log;
    const std::string noDir = TestTempPath("dispatch_no_dir/well.j");
    EXPECT_FALSE(SaveDesignFile(&obj, noDir.c_str()));
    EXPECT_TRUE(log.Contains("Error saving file " + noDir + "! errno:2"));
    EXPECT_FALSE(FileExists(noDir));
    for (const char* path : {"well.txt", "well", static_cast<const char*>(nullptr)}) {
        log.Clear();
        EXPECT_FALSE(SaveDesignFile(&obj, path));
        EXPECT_EQ(log.lines, std::vector<std::string>{"Unsupported File Type"});
    }
}

TEST_F(DesignDispatch, TemplateWriting) {
    TeskObj obj;
    LogCapture log;
    const std::string out = TestTempPath("dispatch_template_out.q");
    EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, out.c_str(), "template.r"));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Export file and template types do not match. Export Failed."});
    EXPECT_FALSE(FileExists(out));
    log.Clear();
    EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, TestTempPath("dispatch_template_out.j").c_str(), "template.json"));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"WriteDesignFileWithTemplate J", "Unsupported File Type"}));
    log.Clear();
    EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, out.c_str(), nullptr));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Export file and template types do not match. Export Failed."});
}

TEST_F(DesignDispatch, ExportsForwardToTheReadersAndWriters) {
    TeskObj* obj = CreateTeskObj();
    ASSERT_NE(obj, nullptr);
    std::string design = ReadFileText(kSampleWell);
    EXPECT_EQ(ParseDesignFileContents(obj, &design[0], 'J'), 1);
    EXPECT_EQ(ParseDesignFile(obj, kSampleWell), 1);
    char dyno[] = "2\n1,10\n2,20\nx\n6\n";
    EXPECT_EQ(LoadDynFromFileContents(obj, dyno), 1);
    EXPECT_EQ(obj->meas.PointCount, 2);
    EXPECT_EQ(LoadDynFromFile(obj, TESK_DATA_DIR "/fixtures/dynofiles/sample_card.txt"), 1);
    const std::string out = TestTempPath("dispatch_export.j");
    created.push_back(out);
    EXPECT_EQ(WriteDesignFile(obj, out.c_str()), 1);
    EXPECT_EQ(WriteDesignFileWithTemplate(obj, out.c_str(), out.c_str()), 0);
    char qrod[] = "Title:Export Q\nPumpDiameter:2.75\n";
    EXPECT_EQ(ParseDesignFileContents(obj, qrod, 'Q'), 1);
    EXPECT_STREQ(GetWellName(obj), "Export Q");
    const std::string qrodOut = TestTempPath("dispatch_export.q");
    created.push_back(qrodOut);
    EXPECT_EQ(WriteDesignFile(obj, qrodOut.c_str()), 1);
    EXPECT_EQ(WriteDesignFileWithTemplate(obj, qrodOut.c_str(), qrodOut.c_str()), 1);
    EXPECT_NE(ReadFileText(qrodOut).find("\nPumpDiameter:2.750000\n"), std::string::npos);
    DeleteTeskObj(obj);
}

TEST_F(DesignDispatch, ExportsRefuseAMissingWellObject) {
    const std::string out = TestTempPath("no_object.j");
    std::string design = ReadFileText(kSampleWell);
    char dyno[] = "2\n1,10\n2,20\nx\n6\n";
    struct Case {
        const char* name;
        std::function<uint8_t()> call;
    };
    const Case cases[] = {
        {"LoadDynFromFile", [] { return LoadDynFromFile(nullptr, TESK_DATA_DIR "/fixtures/dynofiles/sample_card.txt"); }},
        {"LoadDynFromFileContents", [&] { return LoadDynFromFileContents(nullptr, dyno); }},
        {"ParseDesignFile", [] { return ParseDesignFile(nullptr, kSampleWell); }},
        {"ParseDesignFileContents", [&] { return ParseDesignFileContents(nullptr, &design[0], 'J'); }},
        {"WriteDesignFile", [&] { return WriteDesignFile(nullptr, out.c_str()); }},
        {"WriteDesignFileWithTemplate", [&] { return WriteDesignFileWithTemplate(nullptr, out.c_str(), out.c_str()); }},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(c.call(), 0) << c.name;
        EXPECT_EQ(log.lines, std::vector<std::string>{std::string("Error: ") + c.name + " needs a well object"});
    }
    EXPECT_FALSE(FileExists(out));
}
