#include "designfiles/qrod_records.h"

#include <locale.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/bounded_text.h"

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

// strtod needs the value alone: on the whole text it would skip a line end and read the next line.
double ReadNumber(std::string_view rest) {
    const std::string text(rest);
    const locale_t classic = ClassicLocale();
    char* end = nullptr;
    errno = 0;
    const double number = classic != static_cast<locale_t>(nullptr) ? strtod_l(text.c_str(), &end, classic)
                                                                      : std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno == ERANGE) return std::nan("");
    return number;
}

// Only the bytes that can end up in the value are copied: one past the cut shows whether the cut
// falls inside a character.
std::string CutAndTrim(std::string_view rest) {
    const std::string head(rest.substr(0, kValueBytes + 1));
    char cut[kValueBytes + 1];
    CopyBoundedText(cut, sizeof cut, head.c_str());
    const std::string value(cut);
    const size_t first = value.find_first_not_of(kTrimmed);
    if (first == std::string::npos) return std::string();
    return value.substr(first, value.find_last_not_of(kTrimmed) - first + 1);
}

}  // namespace

void ForEachQrodLine(const char* text, const std::function<void(const QrodLine&)>& take) {
    if (text == nullptr) return;
    if (std::strncmp(text, kByteOrderMark, 3) == 0) text += 3;
    while (*text != '\0') {
        const std::string_view line(text, std::strcspn(text, "\n"));
        text += line.size();
        if (*text == '\n') ++text;
        const size_t colon = line.find(':');
        if (colon != std::string_view::npos) take(QrodLine{line.substr(0, colon), line.substr(colon + 1)});
    }
}

QrodRecord MakeQrodRecord(const QrodLine& line) {
    return QrodRecord{std::string(line.key), CutAndTrim(line.rest), ReadNumber(line.rest)};
}

QrodRecords ParseQrodRecords(const char* text) {
    QrodRecords records;
    ForEachQrodLine(text, [&](const QrodLine& line) { records.push_back(MakeQrodRecord(line)); });
    return records;
}

std::string FormatQrodNumber(double number) {
    char digits[400];
    const std::to_chars_result printed =
        std::to_chars(digits, digits + sizeof digits, number, std::chars_format::fixed, 6);
    return std::string(digits, printed.ptr);
}
