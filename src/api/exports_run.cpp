// Export of the run: solves every card whose inputs changed.
#include "api/guard.h"
#include "model/run_design.h"
#include "model/tesk_obj.h"

extern "C" {

TESK_API uint8_t RunDesign(TeskObj* obj) {
    return WellExport<uint8_t>("RunDesign", obj, 0, [&] { return static_cast<uint8_t>(RunWellDesign(obj) ? 1 : 0); });
}

}  // extern "C"
