#pragma once

struct TeskObj;

// Type letters of the design formats: QROD text, Rodstar XML, SROD XML and the own JSON.
constexpr char kQrodType = 'Q';
constexpr char kRodstarType = 'R';
constexpr char kSrodType = 'S';
constexpr char kTeskType = 'J';

// The type letter of a path: the one character after its last '.' (which may lie in a
// directory name), case-insensitively r, i, q or j; 0 for anything else or a leading '.'.
char DesignFileType(const char* path);

// Reads a whole design file and hands it to the reader its name selects; false with a log line
// when the file cannot be read or its type is not read by this build.
bool ReadDesignFile(TeskObj* obj, const char* path);
// Hands design text to the reader of an upper-case type letter; any other letter fails silently.
bool ReadDesignText(TeskObj* obj, char* text, char type);
// Writes the design to the format its name selects; false with a log line otherwise.
bool SaveDesignFile(TeskObj* obj, const char* path);
// Writes the design by a template file of the same format as the output.
bool SaveDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath);
