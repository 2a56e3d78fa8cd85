// The about box's text.
#pragma once

#include <string>

// A compiler date ("Oct  1 2026") as "Oct 1 2026": month, day and year separated by single spaces.
std::string BuildDateText(const char* compilerDate);

// The copyright line, a line feed, then "Built on " and the program's build date.
std::string AboutText();
