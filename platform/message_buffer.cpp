#include "platform/message_buffer.h"

#include "platform/platform.h"

char MessageBuffer[MessageBufferSize];

void BeginReport(TextComposition* text) { BeginComposition(text, MessageBuffer, MessageBufferSize); }

void ShowReport(TextComposition* text) {
    EndComposition(text);
    ShowMessageBuffer();
}

void ShowMessageBuffer(void) { MessageBoxA(nullptr, MessageBuffer, "ERROR", MB_ICONERROR); }
