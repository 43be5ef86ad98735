#include <cctype>
#include <cstring>

#include "designfiles/design_dispatch.h"

char DesignFileType(const char* path) {
    if (path == nullptr) return 0;
    const char* dot = std::strrchr(path, '.');
    if (dot == nullptr || dot == path) return 0;
    switch (std::tolower(static_cast<unsigned char>(dot[1]))) {
        case 'r':
            return kRodstarType;
        case 'i':
            return kSrodType;
        case 'q':
            return kQrodType;
        case 'j':
            return kTeskType;
        default:
            return 0;
    }
}
