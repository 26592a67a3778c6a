// c_MyApp: the game. One object holds every piece of game state; the framework calls its OnCreate
// once and its OnUpdate / OnRender for every update and frame. Every screen (loading, main menu,
// play, game over, the pause menu and the options and credits boxes) is a value of `gameMode` or an
// overlay flag, run from p_OnUpdate.
//
// The game never draws during an update. Screens append records of 15 floats to `drawList` in
// virtual units of the 640 x 480 design screen (p_DrawImg, p_Rect, p_Oval, p_Text); p_OnRender
// replays the list scaled to the window, so a render without an update redraws the same picture.
//
// The definitions are spread by concern:
//   MyApp.cpp     creation, the update dispatch, the render pass, suspend/resume, loading screen,
//                 the game-over overlay
//   Draw.cpp      the draw state and records, text, buttons, controls, arcade mapping, full screen
//   Loader.cpp    resolution level, the stepwise loader, images, font and sound effects
//   Gameplay.cpp  play: world, player, spikes, stars, particles, score
//   SaveData.cpp  the saved state, p_rstr and game start
//   Menus.cpp     main menu, options box, pause menu, credits box, recording a finished game
//
//   auto app = std::make_shared<c_MyApp>();  // registers itself with the host as the app
#pragma once

#include <memory>

#include "framework/App.h"
#include "game/NumberText.h"
#include "runtime/Array.h"
#include "runtime/String.h"

class c_Image;
class c_Sound;

// Marks an optional float argument as not given, and the position of a released finger.
inline constexpr float kNoValue = -3717.0f;
// Kind of an oval record (rectangles use kNoValue, images their slot 0-99).
inline constexpr float kOvalRecord = -3716.0f;

// Display-list layout.
inline constexpr int kRecordFloats = 15;
inline constexpr int kDrawListFloats = 37500;
// A record is appended only while drawCount is at most this, so at most 2,499 records fit.
inline constexpr int kLastRecordStart = 37484;

class c_MyApp : public c_App {
 public:
  c_MyApp();
  ~c_MyApp() override;

  // Framework hooks (MyApp.cpp).
  int p_OnCreate() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
  int p_OnUpdate() override;
  int p_OnRender() override;

  // Screen flow (MyApp.cpp).
  int p_WaitStart(int style);
  int p_GameOver();
  // Rank text of `score` in the current game type's best row ("1st!" ... "10th", or empty); the
  // rank 0-10 is left in loopIndex.
  String p_MyNth();

  // Draw state and records (Draw.cpp). Each record operation appends at most one record and
  // nothing once the list is full.
  int p_ResetDraw();
  int p_SetSize(float sx, float sy = kNoValue);
  int p_SetRot(float angle);
  int p_Alpha(float a);
  int p_SetCol(float r, float g, float b, float a = kNoValue);
  // Starts a screen: the view, optionally the clear colour (when r is given), a reset draw state
  // and an empty display list.
  int p_CLS2D(float r = kNoValue, float g = kNoValue, float b = kNoValue, float a = kNoValue);
  int p_DrawImg(int slot, float x, float y, int frame);
  int p_Rect(float x, float y, float w, float h);
  int p_Oval(float x, float y, float rx, float ry);
  // Text in the game font: alignX 0 puts the first glyph's centre at x, 1 centres, 2 ends at x;
  // alignY 1 centres the first line on y, 0 puts it half a line lower. The two characters
  // backslash and "n" break the line.
  int p_Text(float x, float y, const String& text, float alignX, float alignY);

  // Pointer tests (Draw.cpp), on fingers 0-9 in virtual units.
  int p_Button(int slot, float x, float y, int frame);
  bool p_Button0(int slot, float x, float y, int frame);
  int p_MouseIn_Centered(float x, float y, float w, float h);
  int p_Touch(float x, float y, float w, float h);

  // Controls (Draw.cpp). Actions: 0 up, 3 left, 5 right, 8 down, 10-17 buttons, 99 back.
  int p_PlayKey(int action, int allowStick, int port);
  int p_PlayKeyAll(int action, int allowStick);
  float p_StickX(int axis, int port);
  float p_StickY(int axis, int port);
  int p_iCade(int on);
  // Applies one arcade-cabinet press or release character to padState; others are ignored.
  void ApplyArcadeChar(int chr);
  int p_FullscreenFlip();

  // Loader and assets (Loader.cpp).
  // Picks hdLevel and imageScale from the device size.
  void ChooseLevel();
  int p_Reload();
  int p_Loader();
  int p_LoadImg(int slot, const String& name, int width, int height, int frames, int flags);
  int p_LoadFont(int slot, const String& name, int advance, int height);
  int p_LoadSFX(int slot);
  // Plays a sound effect on the next of the 24 rotating channels (only while sound effects are on).
  int p_PlaySFX(int slot, float rate, float volume, float pan);
  // Rate 1, pan 0.
  int p_PlaySFX(int slot, float volume);

  // Play (Gameplay.cpp).
  int p_Game();
  int p_InGame();
  int p_DrawSpike(float x, int h);
  int p_AddSpike();
  int p_ResetStars(int n);
  int p_DoStars(float dx, float dy);
  int p_AddParticle(int kind, float x, float y, float vx, float vy, float value, int colour,
                    float life);
  int p_FreeParticle();
  int p_DoParticles();
  int p_ResetParticles(int n);
  int p_ResetPlayers();
  int p_Gimme(int points, float x, float y);
  int p_Ink(int index, float brightness);
  int p_Rand(int a, int b);

  // Saved state and game start (SaveData.cpp).
  int p_Save();
  int p_Load();
  String p_rstr(int value, int width, const String& pad);
  int p_GC_PostScore(int mode, int score);
  int p_GC_Badges();
  int p_LoadGame();

  // Menus and overlays (Menus.cpp).
  int p_Menu();
  int p_OptionBox();
  int p_PauseMenu();
  int p_CreditBox();
  int p_LoadMenu();

  // ---- Fields, in declaration order ----

  int fullScreen = 0;
  int introSoundPlayed = 0;
  int gameMode = 0;
  int lastDeviceWidth = 0;
  int lastDeviceHeight = 0;
  float accelRefX = 0;
  float accelRefY = 0;
  // Colour that fills the window before the list is replayed (0-255, alpha 0-1).
  float clearRed = 0;
  float clearGreen = 0;
  float clearBlue = 0;
  float clearAlpha = 0;
  // Image resolution variant 1, 2 or 4, and 1 / hdLevel.
  int hdLevel = 0;
  float imageScale = 0;
  Array<std::shared_ptr<c_Image>> images = Array<std::shared_ptr<c_Image>>(100);
  // Per image slot: frame width, frame height (pixels of the loaded file) and frame count; for the
  // font slot the glyph advance, line height and 128.
  Array<int> imageInfo = Array<int>(300);
  int fontSlot = 0;
  // Loader step; above 0 the loader runs this update.
  int loading = 0;
  int gameType = 0;
  int menuSlide = 0;
  int paused = 0;
  int pauseDirection = 0;
  int pauseSlide = 0;
  int loopIndex = 0;
  // A queue of badge pop-ups that nothing fills.
  Array<int> badgePopups = Array<int>(15);
  Array<int> badgePopupTimes = Array<int>(15);
  // One flag (0 or 1) per badge; bytes, because Array<bool> packs its elements.
  Array<unsigned char> badges = Array<unsigned char>(256);
  // Virtual pad: 0 up, 3 left, 5 right, 8 down, 10-17 buttons, 19 back. 2 = held by the arcade
  // mapping, 1 = pressed for this update only.
  Array<int> padState = Array<int>(20);
  // Saved settings; entry 5 = sound (0 off, 1 effects + music, 2 effects, 3 music).
  Array<int> options = Array<int>(25);
  // Game type g: ten best from 10 (g - 1), best first, then the ten most recent.
  Array<int> highscores = Array<int>(50);
  // Column spacing of the spike row in play (saving, loading and the menus use locals).
  int spikeSpacing = 0;
  // Audio channel of each step of the sound-effect rotation.
  Array<int> sfxChannels = Array<int>(33);
  int lastRenderMs = 0;
  int renderFps = 0;
  int renderFpsAvg = 0;
  // Device pixels per virtual unit.
  float scaleX = 0;
  float scaleY = 0;
  // 1: the width fits the window; 2: the height fits.
  int fitMode = 0;
  int landscape = 0;
  // Floats used in drawList (a multiple of 15).
  int drawCount = 0;
  Array<float> drawList = Array<float>(kDrawListFloats);
  // Last arcade character read; during play the number of held actions.
  int keysHeld = 0;
  int hideHud = 0;
  int musicPlaying = 0;
  int lastUpdateMs = 0;
  int updateFps = 0;
  int updateFpsAvg = 0;
  // Pointer in virtual units, this and the previous update.
  int mouseX = 0;
  int prevMouseX = 0;
  int mouseY = 0;
  int prevMouseY = 0;
  int prevMouseDown = 0;
  int mouseDown = 0;
  int mouseHit = 0;
  Array<int> touchDown = Array<int>(10);
  Array<int> touchX = Array<int>(10);
  Array<int> touchY = Array<int>(10);
  // 1 after a pointer press was consumed; cleared when no pointer is down.
  int holdLatch = 0;
  int inputDelay = 0;
  // 1 after a back press was consumed; cleared when no action is held.
  int backLatch = 0;
  int creditsOpen = 0;
  int optionsOpen = 0;
  int badgesOpen = 0;
  float viewX = 0;
  float viewY = 0;
  float viewW = 0;
  float viewH = 0;
  // Current draw state: rotation is stored negated; blend 1 normal, 3 additive.
  float drawScaleX = 0;
  float drawScaleY = 0;
  float drawRotation = 0;
  float drawRed = 0;
  float drawGreen = 0;
  float drawBlue = 0;
  float drawAlpha = 0;
  int drawBlend = 0;
  float menuWidth = 0;
  int buttonHit = 0;
  // Last used step 0-23 of the sound-effect rotation.
  int sfxSlot = 0;
  Array<std::shared_ptr<c_Sound>> sounds = Array<std::shared_ptr<c_Sound>>(100);
  // Main menu: carousel selection (1 play, 2 options), scrolling and the gear's angle.
  int menuChoice = 0;
  float menuScroll = 0;
  float menuScrollTarget = 0;
  float menuFling = 0;
  float swipeSpeed = 0;
  int menuKeyMove = 0;
  float gearAngle = 0;
  // In play: the world's speed per update and the x of the column being handled.
  float playSpeed = 0;
  int columnX = 0;
  int score = 0;
  int loadSpin = 0;
  // Play: star-field scroll, ground line, stars.
  float scrollX = 0;
  float scrollTargetX = 0;
  float scrollY = 0;
  float scrollTargetY = 0;
  float groundY = 0;
  int starCount = 100;
  Array<float> stars = Array<float>(5100);
  // 1 once the player's death animation is over.
  int gameOverTimer = 0;
  // Play: player record (1 x, 2 y, 3 bounce phase, 10 death counter), spikes, score, particles.
  Array<float> players = Array<float>(512);
  int holdCount = 0;
  float spikeScroll = 0;
  // Entries 0-100 height, 200-300 serial number of each column.
  Array<int> spikes = Array<int>(512);
  int spikeLevel = 0;
  int spikeSerial = 0;
  int spikeLevelStep = 0;
  int lastSpikePassed = 0;
  int chainCount = 0;
  float scoreFlash = 0;
  int maxParticles = 250;
  Array<float> particles = Array<float>(5100);
  int shownScore = 0;
  // Pause menu selection: -1 quit, 0 resume, 1 options.
  int pauseChoice = 0;
  // Progress of the game-over overlay.
  int gameOverStep = 0;
  // Overlays: slide counters 0-30 and their working values.
  int creditsSlide = 0;
  float creditsScroll = 0;
  int creditsLine = 0;
  int optionsSlide = 0;
  int optionsChoice = 0;
  int optionsKeyLatch = 0;
  int optionsTouchLatch = 0;
  // On-screen stick and tilt values; nothing uses them.
  int stickX = 0;
  int stickY = 0;
  float stickScale = 0;
  float tiltX = 0;
  float tiltY = 0;
  float tiltSmoothX = 0;
  float tiltSmoothY = 0;
  // Texts drawn every update, built again only when their numbers change.
  NumberText<1> scoreText;
  NumberText<22> bestScoresText;
  NumberText<22> recentScoresText;
  NumberText<1> newHighscoreText;
  NumberText<3> debugText;

 private:
  // Appends one record of `kind` with the current draw state; false when the list is full.
  bool AppendRecord(float kind, float x, float y, float sx, float sy, float frame);
};
