// A small X client for tests: finds a window by its title and asks it to close the way a window
// manager does (a WM_DELETE_WINDOW client message).
#pragma once

#include <chrono>

// Opens the display of DISPLAY once per process; null when there is none.
void* TestDisplay();
// The first window titled `name`, waiting up to `limit` for it to appear; 0 when none did.
unsigned long FindWindowByName(const char* name, std::chrono::milliseconds limit);
// Its size in pixels; false when it cannot be read.
bool WindowSize(unsigned long window, int* width, int* height);
void SendDeleteWindow(unsigned long window);
// Takes the keyboard focus from every window (as when the player turns to another program).
void DropFocus();
