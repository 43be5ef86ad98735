#pragma once

struct TeskObj;

// Loads the measured card from dyno text: the point count, one "position,load" line per
// point, then lines of which the second gives the pumping speed and the tenth (when there is
// one) the well name. The text is only read. The whole text is read before the well changes:
// no text, a count outside 1..1,000,000, a point line without both fields, fewer point lines
// than the count, no speed line or a speed that is not a finite number > 0 gives false with a
// log line (naming the line where there is one), and the well keeps its previous card and name.
// False as well when memory runs out.
bool LoadDynText(TeskObj* obj, const char* text);

// Reads a whole dyno text file and loads it with LoadDynText; false with a log line when the
// file cannot be opened, sized, held in memory or read (object unchanged).
bool LoadDynFile(TeskObj* obj, const char* path);

// Removes spaces, tabs, LF, CR and double quotes from both ends of `s`, in place.
void TrimField(char* s);
