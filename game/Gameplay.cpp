// Play: the world, the player, the spikes, the star field, particles and the score.
// (Placeholder bodies; the game itself replaces them.)
#include "game/MyApp.h"

int c_MyApp::p_Game() { return 0; }
int c_MyApp::p_InGame() { return 0; }
int c_MyApp::p_DrawSpike(float, int) { return 0; }
int c_MyApp::p_AddSpike() { return 0; }
int c_MyApp::p_ResetStars(int) { return 0; }
int c_MyApp::p_DoStars(float, float) { return 0; }
int c_MyApp::p_AddParticle(int, float, float, float, float, float, int, float) { return 0; }
int c_MyApp::p_FreeParticle() { return -1; }
int c_MyApp::p_DoParticles() { return 0; }
int c_MyApp::p_ResetParticles(int) { return 0; }
int c_MyApp::p_ResetPlayers() { return 0; }
int c_MyApp::p_Gimme(int, float, float) { return 0; }
int c_MyApp::p_Ink(int, float) { return 0; }
int c_MyApp::p_Rand(int a, int) { return a; }
