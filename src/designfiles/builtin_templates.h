#pragma once

// The built-in export templates that WriteDesignFile fills: process-wide, read-only,
// NUL-terminated texts, complete before any export can be called. The XML ones are parsed
// from a copy (load_string/load_buffer), never in place, as every object shares them.
extern const char* const QrodTemplate;     // QROD key:value lines, the written keys in order
extern const char* const RodstarTemplate;  // Rodstar XML with r:input/r:well-name
extern const char* const SrodTemplate;     // SROD XML with Case/WellName
