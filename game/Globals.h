// The game module's globals: the design screen and its visible part, the overscan margin, the debug
// line, arcade-mapping and music-stream switches, and the credit lines. Each holds its initial value
// from the program's start; xq_Drommel_Init (run by the start-up's global initialisation, and by
// tests that want a fresh start) sets every one to it again.
#pragma once

#include "runtime/Array.h"
#include "runtime/String.h"

// The screen the game is designed for, in virtual units: every screen lays itself out on it, and the
// render scales it to the window (a window of this size in pixels shows it at scale 1).
inline constexpr int kDesignWidth = 640;
inline constexpr int kDesignHeight = 480;

// Design size of the virtual screen (kDesignWidth x kDesignHeight).
extern float xq_Drommel_rawscrw;
extern float xq_Drommel_rawscrh;
// Visible part of the virtual screen, recomputed by every render.
extern float xq_Drommel_jscrw;
extern float xq_Drommel_jscrh;
// Margin in device pixels left free left and right (vertically overscan * height / width).
extern float xq_Drommel_overscan;
// 1 shows the frame-rate line (F1).
extern int xq_Drommel_DebugMode;
// 1 while the arcade-cabinet key mapping is active.
extern int xq_Drommel_iCadeControls;
// 1 would run the procedural music player; nothing in this game sets it, so the game plays sound
// effects only. Kept as the switch that player would be started by.
extern int xq_Drommel_HasMusic;
// 1: music would be a track on the audio device's music channel, which the end of a game stops;
// nothing starts one.
extern int xq_Drommel_HasMusicStream;
// The 50 lines of the credits box.
extern Array<String> xq_Drommel_CreditText;

inline constexpr int kCreditLines = 50;

// The credit lines (defined with the credits box).
Array<String> xq_Drommel_CreditLines();

// Sets every global above to its initial value.
void xq_Drommel_Init();
