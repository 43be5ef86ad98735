#pragma once
// Switches LC_NUMERIC to a locale whose decimal point is a comma while in scope. An installed
// one is taken when there is one; otherwise a de_DE locale is built once per process with
// localedef into a temporary directory (no network, no package needed beyond libc's locale
// sources). When neither works, `active` stays false and `reason` says why.
#include <string>

struct CommaLocale {
    std::string saved;
    std::string reason;
    bool active = false;
    CommaLocale();
    ~CommaLocale();
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
};
