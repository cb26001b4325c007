// test.exe's command line: its own name, then the background and the text
// colour as words, each a colour name with "_" for every space, exact case
// ("Dark_Blue Yellow").
#pragma once

// The one line test.exe prints for any other command line, CR LF at its end.
extern const char TestUsage[];

// Reads the command line as the system passes it (the program name first,
// quoted or not; words apart by spaces or tabs; quotation marks group and are
// dropped). True, with the two colour numbers, for exactly two colour words;
// false for missing, extra, unknown or over-long words.
bool ParseTestArguments(const char* commandLine, unsigned char* back, unsigned char* text);
