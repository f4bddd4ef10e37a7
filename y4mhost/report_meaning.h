// One English line for each report the plug-in can show, for readers of the
// Japanese box.
#pragma once

#include <string>

// `report` is the box's text as UTF-8.
const char* ReportMeaning(const std::string& report);
// Whether the report is the plug-in's write failure (the disk full, a size
// limit, a reader gone).
bool IsWriteFailureReport(const std::string& report);
