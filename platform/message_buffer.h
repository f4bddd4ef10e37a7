// The one buffer in which every report of the export path is composed. It
// sits below settings/ and export/, which both report through it.
#pragma once

#include "platform/bounded_format.h"

enum { MessageBufferSize = 2048 };

// Holds the latest report until the next one overwrites it.
extern char MessageBuffer[MessageBufferSize];

// Starts a report: the whole buffer is its room.
void BeginReport(TextComposition* text);
// Ends the report's text and shows it: no owner, caption "ERROR", error icon.
// The box's answer means nothing to the caller.
void ShowReport(TextComposition* text);
// Shows MessageBuffer as it stands, in the same box.
void ShowMessageBuffer(void);
