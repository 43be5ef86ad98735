#pragma once

struct TeskObj;

// Loads the measured card from dyno text: the point count, one "position,load" line per
// point, then lines of which the second gives the pumping speed and the tenth the well name.
// The text is cut into lines in place. False with a log line on no text, a count outside
// 1..1,000,000 (object unchanged), a speed that is not a finite number > 0 (the points
// are stored by then) or exhausted memory.
bool LoadDynText(TeskObj* obj, char* text);

// Reads a whole dyno text file and loads it with LoadDynText; false with a log line when the
// file cannot be opened, sized, held in memory or read (object unchanged).
bool LoadDynFile(TeskObj* obj, const char* path);

// Removes spaces, tabs, LF, CR and double quotes from both ends of `s`, in place.
void TrimField(char* s);
