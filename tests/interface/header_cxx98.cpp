// The host of header_c99.c compiled as C++98, where the header must leave out its static_asserts.
#include "header_c99.c"
