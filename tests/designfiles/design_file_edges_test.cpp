// Design files and templates at the edges of what a reader takes: bytes that are not UTF-8
// text, and sizes past each format's limit, are refused whole with one line saying why.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "design_test_util.h"
#include "designfiles/design_dispatch.h"
#include "log_capture.h"
#include "model/tesk_obj.h"
#include "temp_folder.h"

namespace {

const char kSampleWell[] = TESK_DATA_DIR "/fixtures/designfiles/sample_well.json";
const char kQrod[] = "Title:Edge Well\nStrokeRate:7.5\n";
// 88 bytes.
const char kRodstar[] =
    "<r:rodstar-data><r:input><r:well-name>Edge Well</r:well-name></r:input></r:rodstar-data>";

std::string Utf16(const std::string& ascii, bool littleEndian) {
    std::string text = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : ascii) text += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    return text;
}

// A file of the given name and bytes, and the one line its refusal logs.
struct EdgeCase {
    const char* name;
    std::string bytes;
    const char* line;
};

std::string WithNulAt(std::string text, size_t offset) {
    text[offset] = '\0';
    return text;
}

TEST(DesignFileEdges, BytesThatAreNotUtf8TextAreRefusedWhole) {
    const std::string json = ReadFileText(kSampleWell);
    const EdgeCase cases[] = {
        {"edge.json", WithNulAt(json, 120), "Error: the design file holds a NUL byte at offset 120; it was not read"},
        {"edge.qrod", WithNulAt(kQrod, 3), "Error: the design file holds a NUL byte at offset 3; it was not read"},
        {"edge.rsx", std::string(kRodstar) + '\0' + "<junk/>",
         "Error: the design file holds a NUL byte at offset 88; it was not read"},
        {"edge.qrod", Utf16(kQrod, true),
         "Error: the design file is UTF-16 (it starts with the byte-order mark FF FE); only UTF-8 is read"},
        {"edge.json", Utf16(json, false),
         "Error: the design file is UTF-16 (it starts with the byte-order mark FE FF); only UTF-8 is read"},
        {"edge.ixml", Utf16("<SrodDesign/>", true),
         "Error: the design file is UTF-16 (it starts with the byte-order mark FF FE); only UTF-8 is read"},
    };
    TempFolder folder;
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string path = folder.Path(c.name);
        WriteFileText(path, c.bytes);
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(ReadDesignFile(&obj, path.c_str()));
        EXPECT_EQ(log.lines, (std::vector<std::string>{"Opening file: " + path, c.line}));
        EXPECT_STREQ(obj.wellName, "DEFAULT NAME");
    }
}

TEST(DesignFileEdges, Utf16TextIsRefusedForEveryFormat) {
    for (char type : {'Q', 'R', 'S', 'J'}) {
        std::string text = Utf16("Title:x", type == 'Q');
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(ReadDesignText(&obj, &text[0], type)) << type;
        ASSERT_EQ(log.lines.size(), 1u) << type;
        EXPECT_EQ(log.lines[0].rfind("Error: the design text is UTF-16", 0), 0u) << log.lines[0];
    }
}

TEST(DesignFileEdges, TemplatesAreCheckedAsDesignFilesAre) {
    TempFolder folder;
    const std::string out = folder.Path("out.rsx");
    const EdgeCase cases[] = {
        {"nul.rsx", WithNulAt(kRodstar, 40), "Error: the design template holds a NUL byte at offset 40; it was not read"},
        {"wide.rsx", Utf16(kRodstar, true),
         "Error: the design template is UTF-16 (it starts with the byte-order mark FF FE); only UTF-8 is read"},
        {"big.rsx", std::string(kRodstar) + std::string(1024 * 1024, ' '),
         "Error: the design template is 1048664 bytes, above the limit of 1048576; it was not read"},
        {"missing.rsx", "", "Couldn't load custom rodstar file template: File was not found"},
        {"empty.rsx", "", "Couldn't load custom rodstar file template: No document element found"},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.Path(c.name);
        if (std::string(c.name) != "missing.rsx") WriteFileText(path, c.bytes);
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, out.c_str(), path.c_str()));
        EXPECT_EQ(log.lines.back(), c.line);
        EXPECT_FALSE(FileExists(out));
    }
    const std::string qrod = folder.Path("nul.qrod");
    WriteFileText(qrod, WithNulAt(kQrod, 5));
    TeskObj obj;
    LogCapture log;
    EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, folder.Path("out.qrod").c_str(), qrod.c_str()));
    EXPECT_EQ(log.lines.back(), "Error: the design template holds a NUL byte at offset 5; it was not read");
}

// Sparse files: their size is what counts, and they take no disk.
TEST(DesignFileEdges, EachFormatHasItsOwnSizeLimit) {
    struct Case {
        const char* name;
        long long limit;
    };
    TempFolder folder;
    for (const Case& c : {Case{"big.rsx", 32LL << 20}, Case{"big.ixml", 32LL << 20}, Case{"big.json", 64LL << 20},
                          Case{"big.qrod", 256LL << 20}}) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.Path(c.name);
        WriteFileText(path, "");
        ASSERT_EQ(truncate(path.c_str(), c.limit + 1), 0);
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(ReadDesignFile(&obj, path.c_str()));
        EXPECT_EQ(log.lines.back(), "Error: the design file is " + std::to_string(c.limit + 1) +
                                        " bytes, above the limit of " + std::to_string(c.limit) + "; it was not read");
        std::remove(path.c_str());
    }
}

TEST(DesignFileEdges, XmlAndJsonTextsPastTheirLimitAreRefused) {
    struct Case {
        char type;
        size_t limit;
        const char* line;
    };
    for (const Case& c : {Case{'R', 32u << 20, "Error: the Rodstar design is larger than the limit of 33554432 bytes"},
                          Case{'S', 32u << 20, "Error: the SROD design is larger than the limit of 33554432 bytes"},
                          Case{'J', 64u << 20, "Error: the JSON design is larger than the limit of 67108864 bytes"}}) {
        std::string text(c.limit + 1, ' ');
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(ReadDesignText(&obj, &text[0], c.type)) << c.type;
        EXPECT_TRUE(log.Contains(c.line)) << c.type;
        EXPECT_STREQ(obj.wellName, "DEFAULT NAME");
    }
}

}  // namespace
