// The score tables: the place a finished game's score takes, the rank the game-over overlay names,
// and recording the game as it ends. The overlay and the tables ask the same BestRank, so the place
// named is the place taken.
//
// highscores holds, for game type g, the ten best scores from entry 10 (g - 1), best first, then
// the ten most recent, newest first. The saved record keeps type 1's two rows (SaveRecord.h).
#include "game/MyApp.h"

namespace {

// The first entry of a game type's best row; a type whose rows would not fit the table counts as
// type 1 (only type 1 is ever played).
int BestRow(int gameType) {
  const int type = gameType >= 1 && gameType <= 4 ? gameType : 1;
  return 10 * (type - 1);
}

}  // namespace

// Before the first lower score: a score equal to a stored one goes after it, so one that only
// equals the tenth takes no place.
int c_MyApp::BestRank() const {
  const int best = BestRow(gameType);
  for (int i = 0; i < 10; ++i) {
    if (score > highscores[best + i]) return i + 1;
  }
  return 0;
}

String c_MyApp::PlaceName(int place) {
  static const char* const kPlaces[] = {"1st!", "2nd", "3rd", "4th", "5th",
                                        "6th",  "7th", "8th", "9th", "10th"};
  return place >= 1 && place <= 10 ? String(kPlaces[place - 1]) : String();
}

String c_MyApp::p_MyNth() {
  return PlaceName(BestRank());
}

void c_MyApp::RecordFinishedGame() {
  if (finishedGameRecorded != 0) return;
  finishedGameRecorded = 1;
  const int best = BestRow(gameType);
  const int recent = best + 10;

  const int place = BestRank();
  highscorePlace = place;
  if (place > 0) {
    const int at = best + place - 1;
    for (int j = best + 9; j > at; --j) highscores[j] = highscores[j - 1];
    highscores[at] = score;
  }
  // Recent list: always, newest first.
  for (int j = 9; j > 0; --j) highscores[recent + j] = highscores[recent + j - 1];
  highscores[recent] = score;
  p_Save();
}

int c_MyApp::p_LoadMenu() {
  RecordFinishedGame();
  finishedGameRecorded = 0;

  // A game that ended while its pause menu was open must not leave the menu paused.
  paused = 0;
  pauseDirection = -1;
  pauseSlide = -64;

  // A control held through the end of the game (holding is how the game is played) must not act
  // in the menu: the menu waits until every key, button and the pointer have been let go.
  backLatch = 1;
  holdLatch = 1;

  p_Save();
  return 0;
}
