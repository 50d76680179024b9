// The start-up trace: with PRISMEL_TRACE_STARTUP=<file> in the environment, the program appends one line per
// phase of its start, "<milliseconds since the process started> <phase>", each phase once. Without the variable
// a phase costs one test of a flag.
#pragma once

// Records a phase of start-up (a literal: the text is kept until the line is written).
void StartupPhase(const char* phase);
