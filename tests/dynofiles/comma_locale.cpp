#include "dynofiles/comma_locale.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace {

// A single-byte charmap keeps the build well under a second.
const char kBuiltName[] = "de_DE.ISO-8859-1";
const char kLocaleSource[] = "/usr/share/i18n/locales/de_DE";
const char* const kCharmaps[] = {"/usr/share/i18n/charmaps/ISO-8859-1.gz", "/usr/share/i18n/charmaps/ISO-8859-1"};

bool Exists(const char* path) {
    struct stat status {};
    return stat(path, &status) == 0;
}

bool DecimalPointIsComma() {
    const std::lconv* conv = std::localeconv();
    return conv != nullptr && std::strcmp(conv->decimal_point, ",") == 0;
}

bool SetCommaLocale(const char* name) {
    return std::setlocale(LC_NUMERIC, name) != nullptr && DecimalPointIsComma();
}

bool RunQuietly(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    // localedef exits 1 on mere warnings; whether the locale loads is the real test.
    return WIFEXITED(status);
}

// The directory that holds the built locale, removed when the process ends.
struct BuiltLocale {
    std::string dir;
    std::string reason;

    BuiltLocale() {
        if (!Exists(kLocaleSource)) {
            reason = std::string("no decimal-comma locale installed and no locale source ") + kLocaleSource;
            return;
        }
        if (!Exists(kCharmaps[0]) && !Exists(kCharmaps[1])) {
            reason = "no decimal-comma locale installed and no ISO-8859-1 charmap to build one";
            return;
        }
        std::string pattern = ::testing::TempDir() + "tesk-locale-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) {
            reason = "no decimal-comma locale installed and no temporary directory to build one in";
            return;
        }
        dir = pattern;
        if (!RunQuietly({"localedef", "-i", "de_DE", "-f", "ISO-8859-1", dir + "/" + kBuiltName})) {
            reason = "no decimal-comma locale installed and localedef could not be run";
        }
    }
    ~BuiltLocale() {
        std::error_code ignored;
        if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
};

// LOCPATH replaces the default search path, so it is set only around the one lookup.
bool SetBuiltCommaLocale(std::string* reason) {
    static const BuiltLocale built;
    if (!built.reason.empty()) {
        *reason = built.reason;
        return false;
    }
    const char* previous = std::getenv("LOCPATH");
    const std::string savedPath = previous != nullptr ? previous : "";
    setenv("LOCPATH", built.dir.c_str(), 1);
    const bool set = SetCommaLocale(kBuiltName);
    if (previous != nullptr) {
        setenv("LOCPATH", savedPath.c_str(), 1);
    } else {
        unsetenv("LOCPATH");
    }
    if (!set) *reason = "no decimal-comma locale installed and the one built with localedef does not load";
    return set;
}

}  // namespace

CommaLocale::CommaLocale() {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    saved = previous != nullptr ? previous : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "fr_FR"}) {
        if (SetCommaLocale(name)) {
            active = true;
            return;
        }
    }
    active = SetBuiltCommaLocale(&reason);
    if (!active) std::setlocale(LC_NUMERIC, saved.c_str());
}

CommaLocale::~CommaLocale() { std::setlocale(LC_NUMERIC, saved.c_str()); }
