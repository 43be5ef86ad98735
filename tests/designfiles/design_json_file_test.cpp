#include <gtest/gtest.h>

#include "temp_path.h"

#include <cstdio>
#include <functional>
#include <string>

#include "design_test_util.h"
#include "designfiles/design_document.h"
#include "designfiles/design_reader.h"
#include "log_capture.h"
#include "model/tesk_obj.h"

class DesignJsonFile : public ::testing::Test {
protected:
    std::string path = TestTempPath("json");
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(DesignJsonFile, WritesTheCompactDocument) {
    TeskObj obj;
    ASSERT_TRUE(WriteDesignFileTesk(&obj, path.c_str()));
    EXPECT_EQ(ReadFileText(path), WriteDesignJson(&obj).dump());
}

TEST_F(DesignJsonFile, TextOutsideAsciiIsWrittenAsItIs) {
    TeskObj obj;
    std::snprintf(obj.wellName, sizeof obj.wellName, "Pozo \xc3\x91" "and\xc3\xba");
    ASSERT_TRUE(WriteDesignFileTesk(&obj, path.c_str()));
    EXPECT_NE(ReadFileText(path).find("\"wellname\":\"Pozo \xc3\x91" "and\xc3\xba\""), std::string::npos);
}

TEST_F(DesignJsonFile, TextThatIsNotUtf8IsSavedWithReplacementCharacters) {
    struct Case {
        const char* name;
        std::function<void(TeskObj*)> spoil;
        const char* key;
        const char* saved;
    };
    const Case cases[] = {
        {"Latin-1 well name", [](TeskObj* obj) { std::snprintf(obj->wellName, sizeof obj->wellName, "Pozo \xd1u"); },
         "/wellname", "\"wellname\":\"Pozo \xef\xbf\xbdu\""},
        {"taper id cut through a character",
         [](TeskObj* obj) {
             std::string id(31, 'x');
             id += "\xc3";  // the first byte of a two-byte character, its second cut off at 32 bytes
             const TaperBase_t taper = BuildTaperBase_t(id.c_str(), 1000, 0.75, 0, 0, 0, 0);
             ASSERT_EQ(SetPredTapers(obj, &taper, 1, 1.0), 1);
         },
         "/pred/taper/0/id", "\"id\":\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\xef\xbf\xbd\""},
    };
    for (const Case& c : cases) {
        TeskObj obj;
        c.spoil(&obj);
        LogCapture log;
        ASSERT_TRUE(WriteDesignFileTesk(&obj, path.c_str())) << c.name;
        EXPECT_EQ(log.Count("not valid UTF-8"), 1u) << c.name;
        EXPECT_EQ(log.Count(std::string("Warning: the text of ") + c.key + " is not valid UTF-8"), 1u) << c.name;
        const std::string text = ReadFileText(path);
        EXPECT_NE(text.find(c.saved), std::string::npos) << c.name;
        TeskObj reread;
        std::string copy = text;
        EXPECT_TRUE(ParseDesignFileTesk(&reread, &copy[0])) << c.name;
    }
}

TEST_F(DesignJsonFile, UnwritablePathFailsWithALogLine) {
    TeskObj obj;
    const std::string missing = ::testing::TempDir() + "no_such_dir/design.json";
    LogCapture log;
    EXPECT_FALSE(WriteDesignFileTesk(&obj, missing.c_str()));
    EXPECT_TRUE(log.Contains("Error saving file " + missing + "! errno:2"));
    EXPECT_FALSE(FileExists(missing));
    log.Clear();
    EXPECT_FALSE(WriteDesignFileTesk(&obj, nullptr));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Error writing design file! errno:22"});
}

TEST_F(DesignJsonFile, FullDeviceFailsWithALogLine) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TeskObj obj;
    LogCapture log;
    EXPECT_FALSE(WriteDesignFileTesk(&obj, "/dev/full"));
    EXPECT_TRUE(log.Contains("Error saving file /dev/full! errno:28"));
}
