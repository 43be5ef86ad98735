#pragma once
#include <string>

// The request path of an endpoint URL in the one form that is both sent and signed: dot
// segments removed and runs of '/' merged as AWS's signers do (a trailing '/' stays unless
// nothing is left), then every byte but the unreserved ones, '/' and a '%' that starts an
// escape percent-encoded. "" and a path that goes up past the root give "/".
std::string NormalizedRequestPath(const std::string& path);

// Every byte of the path but the unreserved ones (A-Z a-z 0-9 - _ . ~) and '/' as %XX with
// upper-case digits; with keepEscapes, a '%' that starts an escape (two hex digits) stays too.
std::string PercentEncodedPath(const std::string& path, bool keepEscapes);
