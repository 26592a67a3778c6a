// Play: starting a new game, one update of the running game (sky and ground, the star field, the
// bouncing player, the spike row with its collisions, chain-and-hold scoring, number particles, the
// score display and its bar, death), the pause button, and the star, particle and colour helpers.
//
// Every random draw comes from the shared generator, in a fixed order within an update (stars that
// wrap, then a new spike column, then the number of each scored spike), so the same inputs from the
// same seed give the same game.
#include <cmath>
#include <cstdint>

#include "framework/Random.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "game/Numbers.h"

namespace {

// Floats per star and per particle record.
constexpr int kRecordSize = Particle::Floats;
constexpr int kPlayerX = Player::X;
constexpr int kPlayerY = Player::Y;
constexpr int kPlayerPhase = Player::Phase;
constexpr int kPlayerDeath = Player::Death;
constexpr int kLastColumn = Spikes::LastColumn;
constexpr int kSerials = Spikes::Serials;
constexpr int kSpikeSpacing = 200;
constexpr float kSpeed = 6;
constexpr int kSpikeFrames = Frame::SpikeFirst;

// The player's swing is computed in float.
constexpr float kDegToRadFloat = 3.14159265358979323846f / 180.0f;

// Scores wrap like the checksums instead of overflowing.
int WrapAdd(int a, int b) {
  return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int WrapMul(int a, int b) {
  return static_cast<int>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// The highest record index 0..count that fits in `records` floats (count may come from anywhere).
int LastRecord(int count, const Array<float>& records) {
  const int capacity = records.Length() / kRecordSize - 1;
  return count < capacity ? count : capacity;
}

// The count a reset of stars uses: n when it is 1..499, which is then kept for later resets,
// otherwise the kept count.
int ResetCount(int n, int& kept) {
  if (n >= 1 && n <= 499) kept = n;
  return kept;
}

// A star's depth and look, drawn anew when it comes back on the other side.
void NewDepthAndLook(float* star) {
  star[3] = xq_random_Rnd() * 0.6f + 0.2f;
  star[0] = std::floor(xq_random_Rnd() * 255.99f);
}

}  // namespace

int c_MyApp::p_LoadGame() {
  paused = 0;
  score = 0;
  gameOverTimer = 0;
  gameOverStep = 0;
  finishedGameRecorded = 0;
  gameMode = Mode::Play;
  scrollX = 0;
  scrollY = 0;
  scrollTargetX = 0;
  scrollTargetY = 0;

  p_ResetStars(100);
  maxParticles = 250;
  for (int i = 0; i <= maxParticles; ++i) particles[kRecordSize * i] = Particle::Free;
  p_ResetPlayers();

  spikeScroll = xq_Drommel_jscrw;
  spikeLevel = 0;
  spikeSerial = 1;
  spikeLevelStep = 0;
  lastSpikePassed = 0;
  chainCount = 0;
  scoreFlash = 0;
  holdCount = 0;
  // Fills columns 0-100 (serials 1-101), raising the level every five columns.
  for (int i = 0; i <= kLastColumn; ++i) p_AddSpike();
  return 0;
}

int c_MyApp::p_Game() {
  const float jscrw = xq_Drommel_jscrw;
  const float jscrh = xq_Drommel_jscrh;
  const float overscan = xq_Drommel_overscan;

  // Sky, and the draw state reset.
  p_CLS2D(0, 0, 80, 1);

  // The star field eases toward its scroll target.
  const float dx = (scrollX - scrollTargetX) / 8;
  scrollX -= dx;
  const float dy = (scrollY - scrollTargetY) / 8;
  scrollY -= dy;

  const float u = jscrh / 12;
  const float s = u / 32;
  groundY = jscrh / 2 - 4;

  // Ground and ground line start the picture.
  const float groundX = -(4 * overscan + 64);
  const float groundW = jscrw + 8 * overscan + 64;
  p_SetCol(80, 0, 0);
  p_Alpha(1);
  p_Rect(groundX, groundY, groundW, jscrh);
  p_SetCol(100, 255, 100);
  p_Rect(groundX, groundY, groundW, 8);

  p_DoStars(dx, dy);

  playSpeed = kSpeed;
  const bool alive = players[kPlayerDeath] == 0;
  const bool running = paused == 0 && gameOverTimer == 0;

  // Bounce.
  if (running && alive) {
    players[kPlayerPhase] += 3;
    if (players[kPlayerPhase] > 180) {
      players[kPlayerPhase] -= 180;
      p_PlaySFX(Sound::Bounce, 1);
    }
  }

  spikeSpacing = kSpikeSpacing;

  // Any direction or button on port 0, or the pointer, moves the world the same way.
  keysHeld = p_PlayKey(Action::Up, 1, 0) + mouseDown + p_PlayKey(Action::Left, 1, 0) +
             p_PlayKey(Action::Right, 1, 0) + p_PlayKey(Action::Down, 1, 0) +
             p_PlayKey(Action::Confirm, 1, 0) + p_PlayKey(Action::Button2, 1, 0) +
             p_PlayKey(Action::Button3, 1, 0);
  if (keysHeld == 0) {
    holdCount = 0;
  } else if (alive && running) {
    scrollX -= playSpeed;
    spikeScroll -= playSpeed;
  }

  // The player, 4.5 units of u above its rest position at the top of a bounce.
  players[kPlayerX] = 32;
  players[kPlayerY] =
      jscrh / 2 - std::fabs(4.5f * u * std::sin(players[kPlayerPhase] * kDegToRadFloat)) - u / 2;
  p_SetSize(s);
  p_SetCol(255, 255, 255);
  p_Alpha(1);
  p_DrawImg(Image::World, players[kPlayerX], players[kPlayerY], Frame::Ball);

  if (spikeScroll < -2.0f * static_cast<float>(spikeSpacing)) {
    spikeScroll += static_cast<float>(spikeSpacing);
    p_AddSpike();
  }

  // Columns: drawing and collision, then scoring of the ones the player has passed.
  for (int n = 0; n <= kLastColumn; ++n) {
    columnX = Trunc(spikeScroll) + kSpikeSpacing * n;
    p_DrawSpike(static_cast<float>(columnX), spikes[n]);
    if (static_cast<float>(columnX) + u < players[kPlayerX] &&
        lastSpikePassed < spikes[kSerials + n]) {
      lastSpikePassed += 1;
      scoreFlash = 90;
      holdCount += 1;
      chainCount += 1;
      const int points = WrapMul(chainCount, holdCount);
      score = WrapAdd(score, points);
      const float y = xq_random_Rnd() * (jscrh / 2 - 64) + 64;
      const float x = xq_random_Rnd() * (jscrw - 200) + 100;
      p_AddParticle(Particle::Number, x, y, 0, -0.25f, static_cast<float>(points), 3, 0);
      p_PlaySFX(holdCount == 1 ? Sound::FirstSpike : Sound::NextSpike, 1);
    }
  }

  p_DoParticles();

  // The shown score catches up by a sixth of the difference per update.
  const int64_t behind = static_cast<int64_t>(shownScore) - score;
  shownScore = static_cast<int>(shownScore - behind / 6);
  const int64_t left = static_cast<int64_t>(shownScore) - score;
  if (left > -6 && left < 6) shownScore = score;

  if (hideHud != 1) {
    p_SetRot(0);
    p_SetSize(2);
    p_SetCol(100, 255, 100);
    p_Alpha(0.8f);
    p_Text(jscrw / 2, 16,
           scoreText.For({shownScore}, [&] { return p_rstr(shownScore, 8, String("0")); }), 1, 1);
    p_Alpha(1);
    p_Rect(jscrw / 2 - 182, 30, 364, 20);
    p_SetCol(0, 80, 0);
    p_Rect(jscrw / 2 - 180, 32, 360, 16);
    if (scoreFlash > 0) {
      p_SetCol(100, 255, 100);
      p_Rect(jscrw / 2 - 2 * scoreFlash, 32, 4 * scoreFlash, 16);
    }
  }

  // The bar runs out 60 updates after the last spike passed, and that ends the chain. It stands
  // still while paused or dying.
  const bool stillAlive = players[kPlayerDeath] == 0;
  if (scoreFlash > 0 && stillAlive && running) scoreFlash -= 1.5f;
  if (scoreFlash < 1) {
    if (chainCount > 0) p_PlaySFX(Sound::ChainEnd, 1);
    scoreFlash = 0;
    chainCount = 0;
    holdCount = 0;
  }

  // Death animation: 60 updates, then the game-over sequence.
  if (players[kPlayerDeath] > 0) {
    players[kPlayerDeath] += 1;
    if (players[kPlayerDeath] > 60) gameOverTimer = 1;
  }
  return 0;
}

int c_MyApp::p_DrawSpike(float x, int h) {
  const float u = xq_Drommel_jscrh / 12;
  const float hu = static_cast<float>(h) * u / 2;
  const float pointY = static_cast<float>(Trunc(groundY - u / 2 - hu));
  const bool alive = players[kPlayerDeath] == 0;
  if (!alive) p_DrawImg(Image::World, x, pointY, h + kSpikeFrames);

  // Only the point kills: a square of half-size 0.9 u around it.
  if (std::fabs(x - players[kPlayerX]) < 0.9f * u &&
      std::fabs(pointY - players[kPlayerY]) < 0.9f * u && alive) {
    players[kPlayerDeath] = 1;
    p_PlaySFX(Sound::DeathHit, 1);
    p_PlaySFX(Sound::DeathFall, 1);
  }

  p_DrawImg(Image::World, x, static_cast<float>(Trunc(groundY + 8 + u / 2 + hu)), h + kSpikeFrames);
  return 0;
}

int c_MyApp::p_AddSpike() {
  for (int n = 0; n < kLastColumn; ++n) {
    spikes[n] = spikes[n + 1];
    spikes[kSerials + n] = spikes[kSerials + n + 1];
  }
  int h = Trunc(xq_random_Rnd() * (static_cast<float>(spikeLevel) + 0.99f));
  if (h < 0) h = 0;
  if (h > 9) h = 9;
  spikes[kLastColumn] = h;
  spikes[kSerials + kLastColumn] = spikeSerial;
  spikeSerial = WrapAdd(spikeSerial, 1);

  spikeLevelStep += 1;
  if (spikeLevelStep >= 5) {
    spikeLevelStep = 0;
    spikeLevel += 1;
  }
  if (spikeLevel > 9) spikeLevel = 9;
  return 0;
}

// ---- Star field ----

int c_MyApp::p_ResetStars(int n) {
  n = ResetCount(n, starCount);
  if (n < 0) return 0;
  const float jscrw = xq_Drommel_jscrw;
  const float jscrh = xq_Drommel_jscrh;
  const int last = LastRecord(n, stars);
  for (int i = 0; i <= last; ++i) {
    float* star = stars.Data() + kRecordSize * i;
    star[0] = std::floor(xq_random_Rnd() * 255.99f);
    star[1] = xq_random_Rnd() * (jscrw + 16) - 8;
    star[2] = xq_random_Rnd() * (jscrh + 16) - 8;
    star[3] = xq_random_Rnd() * 0.6f + 0.2f;
    star[5] = xq_random_Rnd() * 360;
    star[6] = xq_random_Rnd() - 0.5f;
  }
  return 0;
}

int c_MyApp::p_DoStars(float dx, float dy) {
  const float jscrw = xq_Drommel_jscrw;
  const float jscrh = xq_Drommel_jscrh;
  const float overscan = xq_Drommel_overscan;
  const float margin = overscan + 16;
  const float wrapX = jscrw + 2 * overscan + 32;
  const float wrapY = jscrh + 2 * overscan + 32;

  p_ResetDraw();
  const int last = LastRecord(starCount, stars);
  for (int i = 0; i <= last; ++i) {
    float* star = stars.Data() + kRecordSize * i;
    star[1] += dx * star[3];
    star[2] += dy * star[3];

    // A star leaving one side comes back on the other at a new height (or x), depth and look.
    const bool outX = star[1] < -margin || star[1] > jscrw + margin;
    if (outX) {
      star[1] += star[1] < -margin ? wrapX : -wrapX;
      star[2] = xq_random_Rnd() * (jscrh + 16) - 8;
      NewDepthAndLook(star);
    }
    if (star[2] < -margin || star[2] > jscrh + margin) {
      star[2] += star[2] < -margin ? wrapY : -wrapY;
      star[1] = xq_random_Rnd() * (jscrw + 16) - 8;
      NewDepthAndLook(star);
    }
    star[5] += star[6];

    p_Alpha(star[3]);
    p_DrawImg(Image::Parts, star[1], star[2], Trunc(star[0]));
  }
  p_ResetDraw();
  return 0;
}

// ---- Particles ----

int c_MyApp::p_FreeParticle() {
  for (int i = LastRecord(maxParticles, particles); i >= 0; --i) {
    if (particles[kRecordSize * i] == Particle::Free) return kRecordSize * i;
  }
  return -1;
}

int c_MyApp::p_AddParticle(int kind, float x, float y, float vx, float vy, float value, int colour,
                           float life) {
  const int at = p_FreeParticle();
  if (at < 0) return 0;
  float* p = particles.Data() + at;
  p[0] = static_cast<float>(kind);
  p[1] = x;
  p[2] = y;
  p[3] = vx;
  p[4] = vy;
  p[5] = std::floor(xq_random_Rnd() * 360.99f);
  p[6] = xq_random_Rnd() * 14 - 7;
  p[7] = life + 1;
  p[8] = static_cast<float>(colour);
  p[9] = value;
  return 0;
}

int c_MyApp::p_DoParticles() {
  p_ResetDraw();
  const int last = LastRecord(maxParticles, particles);
  for (int i = 0; i <= last; ++i) {
    float* p = particles.Data() + kRecordSize * i;
    if (!(p[0] > 0)) continue;
    const int kind = Trunc(p[0]);
    p[1] += p[3];
    p[2] += p[4];
    p[5] += p[6];
    p_SetRot(kind == Particle::Number ? 0 : p[5]);
    if (kind == Particle::Falling) {
      p[3] *= 0.95f;
      p[4] += 0.2f;
    }
    p_Alpha(p[7] < 1 ? p[7] : 1);
    p_SetSize(1);
    p_Ink(Trunc(p[8]), 1);
    if (kind >= 1 && kind <= 9) {
      p_DrawImg(Image::Parts, p[1] - scrollX, p[2] - scrollY, Trunc(p[9]));
    } else if (kind == Particle::Number) {
      p_SetSize(3);
      p_Text(p[1], p[2], String::FromInt(Trunc(p[9])), 1, 1);
    }
    p[7] -= 0.01f;
    if (p[7] < 0) p[0] = Particle::Free;
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_ResetPlayers() {
  for (int i = 0; i < 500; ++i) players[i] = 0;
  return 0;
}

int c_MyApp::p_Ink(int index, float brightness) {
  static constexpr float kInks[10][3] = {{0.3f, 0.3f, 0.3f}, {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f},
                                         {1.0f, 1.0f, 0.1f}, {0.1f, 1.0f, 0.1f}, {0.1f, 1.0f, 1.0f},
                                         {0.1f, 0.1f, 1.0f}, {0.5f, 0.1f, 1.0f}, {1.0f, 0.1f, 0.5f},
                                         {1.0f, 1.0f, 1.0f}};
  const float* ink = kInks[index >= 1 && index <= 9 ? index : 0];
  float rgb[3];
  for (int c = 0; c < 3; ++c) {
    const float v = ink[c] * brightness * 255;
    rgb[c] = v < 0 ? 0 : (v > 255 ? 255 : v);
  }
  p_SetCol(rgb[0], rgb[1], rgb[2]);
  return 0;
}

// ---- Pause ----

int c_MyApp::p_InGame() {
  p_ResetDraw();
  menuSlide = -32;

  bool back = false;
  for (int port = 0; port < 4 && !back; ++port) back = p_PlayKey(Action::Back, 1, port) != 0;
  if (back && paused == 0 && backLatch == 0) {
    backLatch = 1;
    paused = 1;
    pauseDirection = 1;
    pauseChoice = 0;
    p_PlaySFX(Sound::Confirm, 0.5f);
  }

  if (hideHud != 1) {
    if (p_Button(Image::Icons, 16, 16, Frame::IconPause) != 0 && paused == 0) {
      paused = 1;
      pauseDirection = 1;
      holdLatch = 1;
      pauseChoice = 0;
      p_PlaySFX(Sound::Confirm, 0.5f);
    }
  }

  if (paused == 1) p_PauseMenu();
  return 0;
}
