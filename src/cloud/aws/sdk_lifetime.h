#pragma once
// Process-wide start and stop of the HTTP stack. Every cloud session starts it once and
// stops it once; the first start initialises libcurl and the last stop cleans it up, so
// any number of sessions may live at once, on any threads.
void AwsSdkStart();
void AwsSdkStop();
