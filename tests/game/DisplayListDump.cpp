// drommel_display_dump: plays a fixed script through the headless game (GameHarness) and writes
// every step's display list, the sounds started and the renderer's counts to a text file. Run it
// before and after a change that must not alter what the player sees, and compare the two files:
//
//   build-test/tests/game/drommel_display_dump before.txt
//   ... change, rebuild ...
//   build-test/tests/game/drommel_display_dump after.txt && cmp before.txt after.txt
//
// The script covers loading, the menu's slide-in, the options box, the credits, play, pause, quit
// through the game-over sequence and a game played to its end, at several window sizes, with a
// resize in the middle of play. Time and input are the harness's: the file is the same on every run.
#include <cstdio>
#include <string>

#include "framework/Random.h"
#include "game/Globals.h"
#include "tests/game/GameHarness.h"

namespace {

class Dump {
 public:
  Dump(std::FILE* out, GameHarness& game) : out_(out), game_(game) {}

  // One step (update and render), then the list it drew.
  void Step(const char* what, int n = 1) {
    for (int i = 0; i < n; ++i) {
      game_.Step();
      Write(what);
    }
  }
  void Tap(const char* what, int key) {
    game_.KeyDown(key);
    Step(what, 3);
    game_.KeyUp(key);
    Step(what, 2);
  }

  void Write(const char* what) {
    c_MyApp& app = game_.App();
    const gxtkRenderStats& stats = game_.RenderStats();
    std::fprintf(out_, "step %d %s: mode %d loading %d paused %d options %d credits %d score %d\n",
                 step_++, what, app.gameMode, app.loading, app.paused, app.optionsOpen,
                 app.creditsOpen, app.score);
    std::fprintf(out_, "  render: calls %d vertices %d primitives %d flushes %d binds %d\n",
                 stats.drawCalls, stats.vertices, stats.primitives, stats.flushes,
                 stats.textureBinds);
    for (int slot : game_.SoundsPlayed()) std::fprintf(out_, "  sound %d\n", slot);
    game_.ClearSoundLog();
    for (const DrawRecord& r : game_.Records()) {
      std::fprintf(out_, "  %g %g %g %g %g %g %g %g %g %g %g %g\n", r.kind, r.x, r.y, r.rotation,
                   r.scaleX, r.scaleY, r.frame, r.alpha, r.red, r.green, r.blue, r.blend);
    }
  }

 private:
  std::FILE* out_;
  GameHarness& game_;
  int step_ = 0;
};

void Play(std::FILE* out, int width, int height) {
  std::fprintf(out, "== window %d x %d\n", width, height);
  xq_random_Seed = 1234;
  GameHarness game(GameHarness::Options::Sized(width, height));
  Dump dump(out, game);

  game.Render();
  dump.Write("first frame");
  for (int n = 0; game.App().loading > 0 && n < 1000; ++n) dump.Step("loading");
  dump.Step("menu slides in", 40);

  // The options box: to the gear, open it, down its rows to the credits, open them, close them.
  dump.Tap("menu right", Key::Right);
  dump.Tap("open options", Key::Enter);
  dump.Step("options slide in", 31);
  for (int i = 0; i < 4; ++i) dump.Tap("options down", Key::Down);
  dump.Tap("open credits", Key::Enter);
  dump.Step("credits", 60);
  dump.Tap("close credits", Key::Enter);
  dump.Step("menu", 20);
  dump.Tap("menu left", Key::Left);

  // A game: play with space held, pause, resume, pause again and quit through the game over.
  dump.Tap("start", Key::Enter);
  game.KeyDown(Key::Space);
  dump.Step("play", 90);
  game.KeyUp(Key::Space);
  dump.Tap("pause", Key::Escape);
  dump.Step("paused", 12);
  dump.Tap("resume", Key::Enter);
  dump.Step("play on", 30);
  game.Resize(height, width);
  dump.Step("play turned", 10);
  game.Resize(width, height);
  dump.Step("play back", 10);
  dump.Tap("pause", Key::Escape);
  dump.Step("paused", 12);
  dump.Tap("to quit", Key::Left);
  dump.Tap("quit", Key::Enter);
  dump.Step("game over", 100);

  // A second game left alone until the ball falls, and the way back to the menu.
  dump.Tap("start", Key::Enter);
  for (int n = 0; game.App().gameMode != Mode::Menu && n < 3000; ++n) dump.Step("unattended");
  dump.Step("menu again", 40);
  std::fprintf(out, "state: %s\n", game.StateText().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const int sizes[][2] = {{640, 480}, {1280, 720}, {480, 800}, {320, 240}};
  for (const auto& size : sizes) Play(out, size[0], size[1]);
  return std::fclose(out) == 0 ? 0 : 1;
}
