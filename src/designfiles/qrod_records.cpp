#include "designfiles/qrod_records.h"

#include <locale.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model/bounded_text.h"

namespace {

constexpr size_t kValueBytes = 127;
const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char kTrimmed[] = " \t\n\r\"";

// One "C" locale for the life of the process, so a host's decimal-comma locale never changes
// how numbers are read; the first call creates it thread-safely.
locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

double ReadNumber(const std::string& text) {
    const locale_t classic = ClassicLocale();
    char* end = nullptr;
    errno = 0;
    const double number = classic != static_cast<locale_t>(nullptr) ? strtod_l(text.c_str(), &end, classic)
                                                                      : std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno == ERANGE) return std::nan("");
    return number;
}

std::string CutAndTrim(const std::string& rest) {
    char cut[kValueBytes + 1];
    CopyBoundedText(cut, sizeof cut, rest.c_str());
    const std::string value(cut);
    const size_t first = value.find_first_not_of(kTrimmed);
    if (first == std::string::npos) return std::string();
    return value.substr(first, value.find_last_not_of(kTrimmed) - first + 1);
}

}  // namespace

QrodRecords ParseQrodRecords(const char* text) {
    QrodRecords records;
    if (text == nullptr) return records;
    if (std::strncmp(text, kByteOrderMark, 3) == 0) text += 3;
    while (*text != '\0') {
        const size_t length = std::strcspn(text, "\n");
        const std::string line(text, length);
        text += length;
        if (*text == '\n') ++text;
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string rest = line.substr(colon + 1);
        records.push_back(QrodRecord{line.substr(0, colon), CutAndTrim(rest), ReadNumber(rest)});
    }
    return records;
}

std::string FormatQrodNumber(double number) {
    char digits[400];
    const std::to_chars_result printed =
        std::to_chars(digits, digits + sizeof digits, number, std::chars_format::fixed, 6);
    return std::string(digits, printed.ptr);
}
