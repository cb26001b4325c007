// The 16 text-mode colours by name. A colour number is the index into
// ColorTable, and the order of the list boxes in the main window.
#pragma once

const unsigned ColorCount = 16;
extern const char* const ColorTable[ColorCount];

// The result of ColorIndexOf for a name that is not in the table; never an index.
const unsigned char ColorNotFound = 20;

const unsigned char DefaultBackColor = 9;   // "Blue"
const unsigned char DefaultTextColor = 15;  // "White"

// Index of the first table entry equal to name (case-sensitive), or ColorNotFound.
unsigned char ColorIndexOf(const char* name);
