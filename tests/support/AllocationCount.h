#pragma once
// Heap allocations of the whole process, for the programs that link AllocationCount.cpp: it
// replaces the global operator new, so only the programs that count link it (tests/ and
// bench/ CMakeLists name them).

long AllocationCount();             // every operator new since the program started
void TraceAllocations(int count);   // the next `count` allocations print their call stack on standard error
