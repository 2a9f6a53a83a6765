#ifndef ROWPRINTER_H
#define ROWPRINTER_H

#include "AlarmRecord.h"
#include "CliOptions.h"

#include <cstdio>

// Prints alarm rows as they come, numbered from 1 like the window's table: aligned text, the CSV
// lines of the window's files (Latin-1, "?" for other characters, a column line first) or one JSON
// object per row. Each line is flushed at once, for pipes.
class RowPrinter
{
public:
    RowPrinter(CliOptions::Format format, FILE* out);
    void Print(const AlarmRecord& record);
    int Count() const { return nextNumber - 1; }

private:
    CliOptions::Format format;
    FILE* out;
    int nextNumber = 1;
};

#endif // ROWPRINTER_H
