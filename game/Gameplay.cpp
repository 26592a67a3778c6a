// Play: one update of the running game (sky and ground, the star field, the bouncing player, the
// spike row with its collisions, chain-and-hold scoring, number particles, the score display and
// its bar, death), the pause button, and the star, particle and colour helpers.
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
constexpr int kRecordSize = 10;
// Player record floats.
constexpr int kPlayerX = 1;
constexpr int kPlayerY = 2;
constexpr int kPlayerPhase = 3;
constexpr int kPlayerDeath = 10;
// Spike row: heights at 0-100, serial numbers at 200-300.
constexpr int kLastColumn = 100;
constexpr int kSerials = 200;
constexpr int kSpikeSpacing = 200;
constexpr float kSpeed = 6;
// Particle kinds.
constexpr int kFreeParticle = 0;
constexpr int kFallingParticle = 2;
constexpr int kNumberParticle = 99;
// Image and sound slots.
constexpr int kWorldSheet = 1;
constexpr int kParticleSheet = 96;
constexpr int kIcons = 97;
constexpr int kSpikeFrames = 10;

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

// The count a reset of stars or particles uses: n when it is 1..499, which is then kept for later
// resets, otherwise the kept count.
int ResetCount(int n, int& kept) {
  if (n >= 1 && n <= 499) kept = n;
  return kept;
}

}  // namespace

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
      p_PlaySFX(3, 1);
    }
  }

  spikeSpacing = kSpikeSpacing;

  // Any direction or button on port 0, or the pointer, moves the world the same way.
  keysHeld = p_PlayKey(0, 1, 0) + mouseDown + p_PlayKey(3, 1, 0) + p_PlayKey(5, 1, 0) +
             p_PlayKey(8, 1, 0) + p_PlayKey(10, 1, 0) + p_PlayKey(11, 1, 0) + p_PlayKey(12, 1, 0);
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
  p_DrawImg(kWorldSheet, players[kPlayerX], players[kPlayerY], 0);

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
      p_AddParticle(kNumberParticle, x, y, 0, -0.25f, static_cast<float>(points), 3, 0);
      p_PlaySFX(holdCount == 1 ? 2 : 4, 1);
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
    if (chainCount > 0) p_PlaySFX(10, 1);
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
  if (!alive) p_DrawImg(kWorldSheet, x, pointY, h + kSpikeFrames);

  // Only the point kills: a square of half-size 0.9 u around it.
  if (std::fabs(x - players[kPlayerX]) < 0.9f * u &&
      std::fabs(pointY - players[kPlayerY]) < 0.9f * u && alive) {
    players[kPlayerDeath] = 1;
    p_PlaySFX(5, 1);
    p_PlaySFX(6, 1);
  }

  p_DrawImg(kWorldSheet, x, static_cast<float>(Trunc(groundY + 8 + u / 2 + hu)), h + kSpikeFrames);
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

    // A star leaving one side comes back on the other at a new height, depth and look.
    if (star[1] < -margin) {
      star[1] += wrapX;
      star[2] = xq_random_Rnd() * (jscrh + 16) - 8;
      star[3] = xq_random_Rnd() * 0.6f + 0.2f;
      star[0] = std::floor(xq_random_Rnd() * 255.99f);
    }
    if (star[1] > jscrw + margin) {
      star[1] -= wrapX;
      star[2] = xq_random_Rnd() * (jscrh + 16) - 8;
      star[3] = xq_random_Rnd() * 0.6f + 0.2f;
      star[0] = std::floor(xq_random_Rnd() * 255.99f);
    }
    if (star[2] < -margin) {
      star[2] += wrapY;
      star[1] = xq_random_Rnd() * (jscrw + 16) - 8;
      star[3] = xq_random_Rnd() * 0.6f + 0.2f;
      star[0] = std::floor(xq_random_Rnd() * 255.99f);
    }
    if (star[2] > jscrh + margin) {
      star[2] -= wrapY;
      star[1] = xq_random_Rnd() * (jscrw + 16) - 8;
      star[3] = xq_random_Rnd() * 0.6f + 0.2f;
      star[0] = std::floor(xq_random_Rnd() * 255.99f);
    }
    star[5] += star[6];

    p_Alpha(star[3]);
    p_DrawImg(kParticleSheet, star[1], star[2], Trunc(star[0]));
  }
  p_ResetDraw();
  return 0;
}

// ---- Particles ----

int c_MyApp::p_FreeParticle() {
  for (int i = LastRecord(maxParticles, particles); i >= 0; --i) {
    if (particles[kRecordSize * i] == kFreeParticle) return kRecordSize * i;
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
    p_SetRot(kind == kNumberParticle ? 0 : p[5]);
    if (kind == kFallingParticle) {
      p[3] *= 0.95f;
      p[4] += 0.2f;
    }
    p_Alpha(p[7] < 1 ? p[7] : 1);
    p_SetSize(1);
    p_Ink(Trunc(p[8]), 1);
    if (kind >= 1 && kind <= 9) {
      p_DrawImg(kParticleSheet, p[1] - scrollX, p[2] - scrollY, Trunc(p[9]));
    } else if (kind == kNumberParticle) {
      p_SetSize(3);
      p_Text(p[1], p[2], String::FromInt(Trunc(p[9])), 1, 1);
    }
    p[7] -= 0.01f;
    if (p[7] < 0) p[0] = kFreeParticle;
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_ResetParticles(int n) {
  n = ResetCount(n, maxParticles);
  if (n < 0) return 0;
  const int last = LastRecord(n, particles);
  for (int i = 0; i <= last; ++i) particles[kRecordSize * i] = kFreeParticle;
  return 0;
}

int c_MyApp::p_ResetPlayers() {
  for (int i = 0; i < 500; ++i) players[i] = 0;
  return 0;
}

int c_MyApp::p_Gimme(int points, float x, float y) {
  score = WrapAdd(score, points);
  p_AddParticle(kNumberParticle, x, y, 0, -0.25f, static_cast<float>(points), 3, 0);
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

int c_MyApp::p_Rand(int a, int b) {
  const float range = static_cast<float>(b) + 0.99f - static_cast<float>(a);
  return Trunc(std::floor(xq_random_Rnd() * range + static_cast<float>(a)));
}

// ---- Pause ----

int c_MyApp::p_InGame() {
  p_ResetDraw();
  menuSlide = -32;

  bool back = false;
  for (int port = 0; port < 4 && !back; ++port) back = p_PlayKey(99, 1, port) != 0;
  if (back && paused == 0 && backLatch == 0) {
    backLatch = 1;
    paused = 1;
    pauseDirection = 1;
    pauseChoice = 0;
    p_PlaySFX(98, 0.5f);
  }

  if (hideHud != 1) {
    if (p_Button(kIcons, 16, 16, 0) != 0 && paused == 0) {
      paused = 1;
      pauseDirection = 1;
      holdLatch = 1;
      pauseChoice = 0;
      p_PlaySFX(98, 0.5f);
    }
  }

  if (paused == 1) p_PauseMenu();
  return 0;
}
