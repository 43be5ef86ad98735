// Feeds arbitrary bytes to the QROD reader, on a well with tubing and rods so that every key
// reaches the model, then fills the same bytes as a template from the resulting well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "designfiles/qrod_file.h"
#include "designfiles/qrod_records.h"
#include "fuzz_quiet.h"
#include "model/tesk_obj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    TeskObj obj;
    TubingBase_t tubing{};
    tubing.L = 6000;
    tubing.E = 5e-7;
    const TaperBase_t taper = BuildTaperBase_t("rod", 5000, 0.875, 2.224, 115000, 30500000, 490);
    SetDiagTubings(&obj, &tubing, 1);
    SetPredTubings(&obj, &tubing, 1);
    SetPredTapers(&obj, &taper, 1, 1.0);
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParseDesignFileQrod(&obj, text.c_str());
    const QrodRecords records = ParseQrodRecords(text.c_str());
    const std::string written = FillQrodText(&obj, records);
    // Whatever the well holds, the written text has exactly one line per template record.
    if (ParseQrodRecords(written.c_str()).size() != records.size()) std::abort();
    return 0;
}
