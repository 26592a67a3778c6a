// c_MyApp: the game. One object holds every piece of game state; the framework calls its OnCreate
// once and its OnUpdate / OnRender for every update and frame. Every screen (loading, main menu,
// play, game over, the pause menu and the options and credits boxes) is a value of `gameMode`
// (Mode::... in Constants.h) or an overlay flag, run from p_OnUpdate.
//
// The game never draws during an update. Screens append records to `drawList` (DisplayList.h) in
// virtual units of the design screen, kDesignWidth x kDesignHeight (Globals.h), through p_DrawImg,
// p_Rect, p_Oval and p_Text; p_OnRender replays the list scaled to the window, so a render without
// an update redraws the same picture.
//
// The definitions are spread by concern:
//   MyApp.cpp       creation, the update dispatch, the render pass, suspend/resume, loading screen,
//                   the game-over overlay
//   Draw.cpp        the draw state and records, text, on-screen buttons and touch areas
//   Controls.cpp    actions over keys, joysticks and the virtual pad, arcade mapping, full screen
//   Loader.cpp      resolution level, the stepwise loader (AssetList.h), sound effects
//   Gameplay.cpp    play: a new game, world, player, spikes, stars, particles, score, pause button
//   Highscores.cpp  the rank of a score and recording a finished game on the way to the menu
//   SaveData.cpp    the saved state and the score text
//   MainMenu.cpp, OptionsBox.cpp, PauseMenu.cpp, CreditsBox.cpp   one screen each (MenuParts.h)
//
//   auto app = std::make_shared<c_MyApp>();  // registers itself with the host as the app
#pragma once

#include <memory>

#include "framework/App.h"
#include "game/Constants.h"
#include "game/DisplayList.h"
#include "game/NumberText.h"
#include "game/ScreenFit.h"
#include "runtime/Array.h"
#include "runtime/String.h"

class c_Image;
class c_Sound;

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

  // Draw state and records (Draw.cpp). Each record operation appends at most one record and
  // nothing once the list is full.
  int p_ResetDraw();
  int p_SetSize(float sx, float sy = kNoValue);
  int p_SetRot(float angle);
  int p_Alpha(float a);
  int p_SetCol(float r, float g, float b, float a = kNoValue);
  // Starts a screen: optionally the clear colour (when r is given), a reset draw state and an
  // empty display list.
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
  int p_MouseIn_Centered(float x, float y, float w, float h);
  int p_Touch(float x, float y, float w, float h);

  // Controls (Controls.cpp). Actions are Action::... of Constants.h.
  int p_PlayKey(int action, int allowStick, int port);
  int p_PlayKeyAll(int action, int allowStick);
  float p_StickX(int axis, int port);
  float p_StickY(int axis, int port);
  int p_iCade(int on);
  // Applies one arcade-cabinet press or release character to padState; others are ignored.
  void ApplyArcadeChar(int chr);
  int p_FullscreenFlip();

  // Loader and sound effects (Loader.cpp).
  // Picks hdLevel and imageScale from the device size.
  void ChooseLevel();
  int p_Reload();
  int p_Loader();
  // Loads the first step left for later whose files are in; true once no step a game needs is
  // left (always, where every file is in place from the start). `forPlay`: a game waits for them.
  bool LoadLaterSteps(bool forPlay);
  int p_LoadImg(int slot, const String& name, int width, int height, int frames, int flags);
  int p_LoadFont(int slot, const String& name, int advance, int height);
  int p_LoadSFX(int slot);
  // Plays a sound effect on the next of the 24 rotating channels (only while sound effects are on).
  int p_PlaySFX(int slot, float rate, float volume, float pan);
  // Rate 1, pan 0.
  int p_PlaySFX(int slot, float volume);

  // An image slot's entries of imageInfo (the font slot: advance, line height, glyph count).
  int FrameWidth(int slot) const { return imageInfo[slot * kImageInfoInts]; }
  int FrameHeight(int slot) const { return imageInfo[slot * kImageInfoInts + 1]; }
  int FrameCount(int slot) const { return imageInfo[slot * kImageInfoInts + 2]; }
  void SetImageInfo(int slot, int frameWidth, int frameHeight, int frameCount) {
    imageInfo[slot * kImageInfoInts] = frameWidth;
    imageInfo[slot * kImageInfoInts + 1] = frameHeight;
    imageInfo[slot * kImageInfoInts + 2] = frameCount;
  }

  // Play (Gameplay.cpp). p_LoadGame starts a new game.
  int p_LoadGame();
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
  int p_ResetPlayers();
  int p_Ink(int index, float brightness);

  // Highscores (Highscores.cpp).
  // The place 1-10 that `score` takes in the current game type's best row when the game is
  // recorded, or 0 when it takes none.
  int BestRank() const;
  // A place as the game-over overlay names it ("1st!", "2nd" ... "10th"), or empty for 0.
  static String PlaceName(int place);
  // The name of BestRank().
  String p_MyNth();
  // Records the finished game in the tables (unless it was as it ended), leaves the pause state,
  // sets both latches (controls still held from play do nothing in the menu until let go) and
  // saves.
  int p_LoadMenu();
  // Enters a finished game's score in the best and recent rows of its type and saves, once per
  // game: at the end of the update in which the game ended (so closing the program during the
  // game-over sequence loses nothing), or on the way back to the menu if that came first.
  void RecordFinishedGame();

  // Saved state and the score text (SaveData.cpp).
  int p_Save();
  int p_Load();
  String p_rstr(int value, int width, const String& pad);

  // Screens around play (MainMenu.cpp, OptionsBox.cpp, PauseMenu.cpp, CreditsBox.cpp).
  int p_Menu();
  int p_OptionBox();
  int p_PauseMenu();
  int p_CreditBox();

  // ---- Fields, in declaration order ----
  // Each holds its initial value from construction; p_OnCreate adds what needs the device, the
  // loader and the saved state.

  int fullScreen = 0;
  int introSoundPlayed = 0;
  int gameMode = Mode::Menu;
  int lastDeviceWidth = 0;
  int lastDeviceHeight = 0;
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
  // font slot the glyph advance, line height and 128. Read and written through the accessors below.
  Array<int> imageInfo = Array<int>(kImageInfoInts * 100);
  int fontSlot = 0;
  // Loader step; above 0 the loader runs this update.
  int loading = 0;
  // Bit n - 1 set: loader step n passed while its files were still on their way, to be loaded as
  // they come in (only where data files arrive over the network).
  unsigned loadLater = 0;
  int gameType = 2;
  int menuSlide = -32;
  int paused = 0;
  int pauseDirection = -1;
  int pauseSlide = -64;
  // One flag (0 or 1) per badge.
  Array<unsigned char> badges = Array<unsigned char>(256);
  // Virtual pad: the entries of the actions up to Action::Button6, and Pad::... 2 = held by the
  // arcade mapping, 1 = pressed for this update only.
  Array<int> padState = Array<int>(Pad::Entries);
  // Saved settings, Option::...
  Array<int> options = Array<int>(Option::Count);
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
  int landscape = 0;
  // Floats used in drawList (a multiple of 15).
  int drawCount = 0;
  Array<float> drawList = Array<float>(kDrawListFloats);
  // Last arcade character read; during play the number of held actions.
  int keysHeld = 0;
  int hideHud = 0;
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
  Array<int> touchDown = Array<int>(10);
  Array<int> touchX = Array<int>(10);
  Array<int> touchY = Array<int>(10);
  // 1 after a pointer press was consumed; cleared when no pointer is down.
  int holdLatch = 0;
  // 1 after a back press was consumed; cleared when no action is held.
  int backLatch = 0;
  int creditsOpen = 0;
  int optionsOpen = 0;
  // Current draw state: rotation is stored negated; blend as DrawRecord::blend.
  float drawScaleX = 0;
  float drawScaleY = 0;
  float drawRotation = 0;
  float drawRed = 0;
  float drawGreen = 0;
  float drawBlue = 0;
  float drawAlpha = 0;
  int drawBlend = 0;
  float menuWidth = 0;
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
  // Play: player record (Player::...), spikes (Spikes::...), score, particles (Particle::...).
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
  // Progress of the game-over overlay, and the place its score takes in the best row (worked out
  // while the game is still running, so the overlay keeps naming it over the menu).
  int gameOverStep = 0;
  int highscorePlace = 0;
  // 1 from the moment the current game's score is in the tables until the menu takes over.
  int finishedGameRecorded = 0;
  // Overlays: slide counters 0-30 and their working values.
  int creditsSlide = 0;
  float creditsScroll = 0;
  int creditsLine = 0;
  int optionsSlide = 0;
  int optionsChoice = 0;
  int optionsKeyLatch = 0;
  int optionsTouchLatch = 0;
  // Texts drawn every update, built again only when their numbers change.
  NumberText<1> scoreText;
  NumberText<22> bestScoresText;
  NumberText<22> recentScoresText;
  NumberText<1> newHighscoreText;
  NumberText<3> debugText;
  // The host's full-screen state at the last update, to tell a switch made outside the game.
  int hostFullScreen = 0;
  // The picture's place in the window, device pixels: the whole window, or the part between the
  // bands where the host keeps the game's shape (ScreenFit.h). Set by every render.
  ScreenRect view;
  // On a touch screen, the smallest touch area of a control in virtual units; 0 while the pointer
  // is a mouse (controls are hit where they are drawn).
  float touchMinimum = 0;
  // The controls tested this update and the last (their drawn rectangles).
  TouchTargets touchTargets;

  // The area where a control drawn at `drawn` takes a finger this update.
  TouchRect ControlArea(const TouchRect& drawn);

 private:
  // Ints per slot in imageInfo.
  static constexpr int kImageInfoInts = 3;

  // Appends one record of `kind` with the current draw state; false when the list is full.
  bool AppendRecord(float kind, float x, float y, float sx, float sy, float frame);
};
