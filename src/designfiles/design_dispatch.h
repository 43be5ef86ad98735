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

// Reads a whole design file into a buffer of its own and hands it to the reader its name
// selects; false with a log line when the file cannot be read or its name selects no format.
bool ReadDesignFile(TeskObj* obj, const char* path);
// Hands design text to the reader of an upper-case type letter; any other letter fails
// silently. The Rodstar and SROD readers parse the text in place, so 'R' and 'S' change it.
bool ReadDesignText(TeskObj* obj, char* text, char type);
// Writes the design to the format its name selects, QROD, Rodstar and SROD from their built-in
// templates; false with a log line when the name selects no format. The XML writers fill in
// only the well name and report false after saving.
bool SaveDesignFile(TeskObj* obj, const char* path);
// The same from a template file of the same format as the output (QROD, Rodstar or SROD).
bool SaveDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath);
