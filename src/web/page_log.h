#pragma once
// The browser's report sink: log lines go to the page's log, everything else
// to the console as on the desktop.
#include <string_view>

#include "platform/report.h"

void sendReportToPage(ReportLevel level, const char* file, int line, std::string_view text);
