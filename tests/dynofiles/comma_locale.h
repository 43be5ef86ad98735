#pragma once
// Switches LC_NUMERIC to a locale whose decimal point is a comma while in scope, when one is
// installed (see `locale -a`; LOCPATH may point at one made with localedef).
#include <clocale>
#include <string>

struct CommaLocale {
    std::string saved;
    bool active = false;
    CommaLocale() {
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        saved = previous != nullptr ? previous : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "fr_FR"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr) {
                active = true;
                return;
            }
        }
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, saved.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
};
