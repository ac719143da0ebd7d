// Spoken guides of the application, and the reader's beeps for alerts.
// A guide is marked as the system's own speech for the reader, waits
// (bounded) for a running utterance to end or cuts it off, and is then
// queued.
#pragma once

// Answers the result of restoring the reader status (the value it replaced).
int SpeakGuide(const char* text, int interrupt, int mode, int flag);
int GuideBeep(int kind, int length);
void GuideBeepRepeat(unsigned count, int kind, unsigned length);
