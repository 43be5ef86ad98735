#pragma once
// Test helper: APPDATA names a fresh folder of this test alone while in scope, so the token
// file of one test is never another's.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "temp_path.h"

struct TempAppData {
    std::string path = TestTempPath("appdata");

    TempAppData() {
        std::filesystem::create_directories(path);
        setenv("APPDATA", path.c_str(), 1);
    }
    ~TempAppData() {
        unsetenv("APPDATA");
        std::filesystem::remove_all(path);
    }
    TempAppData(const TempAppData&) = delete;
    TempAppData& operator=(const TempAppData&) = delete;

    std::string TokenPath() const { return path + "/tesk/refreshtoken.txt"; }
    // The token file's bytes, or "<missing>".
    std::string StoredToken() const {
        std::ifstream file(TokenPath(), std::ios::binary);
        if (!file) return "<missing>";
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
};
