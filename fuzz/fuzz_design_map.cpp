// Feeds arbitrary JSON to both directions of the stored design map: as a design document to
// be stored, and as a stored item's wire form to be read back. Neither may crash or throw.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cloud/aws/attribute_value.h"
#include "cloud/design_attribute_map.h"
#include "fuzz_quiet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    const nlohmann::json input =
        nlohmann::json::parse(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size, nullptr,
                              false);
    if (input.is_discarded()) return 0;
    AttributeValue stored;
    nlohmann::json back;
    if (JsonToAttributeValue(input, &stored)) AttributeValueToJson(stored, &back);
    AttributeValue wire;
    if (AttributeValueFromWire(input, &wire, nullptr)) AttributeValueToJson(wire, &back);
    return 0;
}
