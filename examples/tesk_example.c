/* A small host: it links libtesk through the public header only. */
#include <stdio.h>
#include <stdlib.h>

#include "tesk/tesk.h"

static int PrintLine(const char* line) { return printf("[tesk] %s\n", line); }

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    SetLoggingCallback(NULL, PrintLine);
    TeskObj* well = CreateTeskObj();
    if (well == NULL) return 1;
    int32_t version[4];
    GetTeskVersion(well, version);
    printf("tesk %d.%d.%d.%d\n", version[0], version[1], version[2], version[3]);
    SetClientVersion(well, "example", 1, 0, 0, 0);
    SetWellName(well, "Sample Well 1");
    PrintTeskObj(well);
    DeleteTeskObj(well);
    return 0;
}
