// The main menu, the options box, the pause menu, the credits box and the return to the menu.
// (Placeholder bodies until the menus are written.)
#include "game/Globals.h"
#include "game/MyApp.h"

Array<String> xq_Drommel_CreditLines() { return Array<String>(kCreditLines); }

int c_MyApp::p_Menu() { return 0; }
int c_MyApp::p_OptionBox() { return 0; }
int c_MyApp::p_PauseMenu() { return 0; }
int c_MyApp::p_CreditBox() { return 0; }
int c_MyApp::p_LoadMenu() { return 0; }
