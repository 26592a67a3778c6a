// Translation of GLFW key, character, mouse and joystick input into the framework's events.
// (Placeholder bodies until the input translation lands.)
#include "host/GlfwGame.h"

int XQGlfwGame::TransKey(int) { return 0; }
int XQGlfwGame::KeyToChar(int) { return 0; }
void XQGlfwGame::OnKey(int, int) {}
void XQGlfwGame::OnChar(int, int) {}
void XQGlfwGame::OnMouseButton(int, int) {}
void XQGlfwGame::OnMousePos(int, int) {}
bool XQGlfwGame::PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) {
  return false;
}
void XQGlfwGame::SetMouseVisible(bool) {}
