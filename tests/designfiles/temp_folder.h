#pragma once
// A folder of one test alone, so that its listing shows any temporary file a save left behind.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

struct TempFolder {
    std::string path;
    TempFolder() {
        std::string pattern = ::testing::TempDir() + "tesk_save_XXXXXX";
        path = mkdtemp(&pattern[0]) != nullptr ? pattern : "";
    }
    ~TempFolder() {
        for (const std::string& name : Names()) unlink((path + "/" + name).c_str());
        rmdir(path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        DIR* dir = opendir(path.c_str());
        if (dir == nullptr) return names;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
        return names;
    }
    std::string Path(const char* name) const { return path + "/" + name; }
};
