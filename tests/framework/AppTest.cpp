// The app and the game delegate: registration, the order of device and app calls, the close and
// back keys, the app functions and the async event sources.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "audio/Audio.h"
#include "audio/Sound.h"
#include "framework/App.h"
#include "framework/GameDelegate.h"
#include "framework/InputDevice.h"
#include "framework/Startup.h"
#include "graphics/Graphics.h"
#include "graphics/Renderer.h"
#include "tests/support/Process.h"

namespace {

// An app that writes what it is asked to do into log.
class RecordingApp : public c_App {
 public:
  std::string log;
  std::function<void()> onUpdate;
  std::function<void()> onRender;
  int p_OnCreate() override { return log += "create ", 0; }
  int p_OnSuspend() override { return log += "suspend ", 0; }
  int p_OnResume() override { return log += "resume ", 0; }
  int p_OnUpdate() override {
    log += "update ";
    if (onUpdate) onUpdate();
    return 0;
  }
  int p_OnRender() override {
    log += "render ";
    if (onRender) onRender();
    return 0;
  }
};

class RecordingAudio : public gxtkAudio {
 public:
  explicit RecordingAudio(std::string* log) : log_(log) {}
  int Suspend() override { return *log_ += "audio-suspend ", gxtkAudio::Suspend(); }
  int Resume() override { return *log_ += "audio-resume ", gxtkAudio::Resume(); }

 private:
  std::string* log_;
};

class RecordingHost : public XQGame {
 public:
  int rate = -1;
  String saved;
  int saveResult = 0;
  void SetUpdateRate(int hertz) override { rate = hertz; }
  int SaveState(const String& state) override { return saved = state, saveResult; }
  String LoadState() override { return saved; }
  double Now() override { return 4.2425; }
};

class App : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ALSOFT_DRIVERS", "null", 1);
    xq_framework_Init();
  }
  void TearDown() override { xq_std_shutdown(); }

  // Registers a recording app whose delegate makes a headless renderer and a recording audio
  // device, and starts it.
  std::shared_ptr<RecordingApp> StartedApp() {
    auto app = std::make_shared<RecordingApp>();
    xq_app_Create(app);
    xq_app_delegate->makeGraphics = [] { return std::make_shared<gxtkGraphics>(640, 480, true); };
    xq_app_delegate->makeAudio = [app] { return std::make_shared<RecordingAudio>(&app->log); };
    xq_app_delegate->makeInput = [] { return std::make_shared<c_InputDevice>(nullptr); };
    xq_app_delegate->StartGame();
    return app;
  }
};

TEST_F(App, RegisteringHandsTheDelegateToTheHost) {
  RecordingHost host;
  xq_framework_Init();
  auto app = std::make_shared<RecordingApp>();
  EXPECT_EQ(host.Delegate(), nullptr);  // constructing registers nothing
  xq_app_Create(app);
  EXPECT_EQ(xq_app_app, app.get());
  EXPECT_EQ(host.Delegate(), xq_app_delegate.get());
  xq_app_Release();
  EXPECT_EQ(host.Delegate(), nullptr);
}

TEST_F(App, ASecondAppEndsTheProgramWithItsMessage) {
  const ChildResult result = RunInChild([] {
    xq_app_Create(std::make_shared<RecordingApp>());
    xq_app_Create(std::make_shared<RecordingApp>());
  });
  EXPECT_EQ(result.status, 255);
  EXPECT_EQ(result.out, "Kestro Runtime Error : App has already been created\n\n");
}

TEST_F(App, StartingCreatesTheDevicesBeforeTheAppsCreate) {
  auto app = std::make_shared<RecordingApp>();
  xq_app_Create(app);
  xq_app_delegate->makeGraphics = [] { return std::make_shared<gxtkGraphics>(640, 480, true); };
  xq_app_delegate->makeInput = [] { return std::make_shared<c_InputDevice>(nullptr); };
  xq_app_delegate->makeAudio = [app] {
    EXPECT_NE(xq_graphics_device, nullptr);  // the renderer comes first
    return std::make_shared<RecordingAudio>(&app->log);
  };
  xq_app_delegate->StartGame();
  EXPECT_EQ(app->log, "create ");
  EXPECT_EQ(xq_graphics_device, xq_app_delegate->_graphics);
  EXPECT_EQ(xq_audio_device, xq_app_delegate->_audio);
  EXPECT_EQ(xq_input_device, xq_app_delegate->_input);
}

TEST_F(App, KeysHitDuringAnUpdateAreSeenInThatUpdateOnly) {
  auto app = StartedApp();
  int seen = -1;
  app->onUpdate = [&] { seen = xq_input_KeyHit(65); };
  xq_app_delegate->KeyEvent(kEventKeyDown, 65);
  xq_app_delegate->UpdateGame();
  EXPECT_EQ(seen, 1);
  xq_app_delegate->UpdateGame();
  EXPECT_EQ(seen, 0);
  EXPECT_TRUE(xq_input_KeyDown(65));
}

TEST_F(App, AFrameRunsTheAppBetweenTheRenderersBeginAndEnd) {
  auto app = StartedApp();
  gxtkGraphics* during = nullptr;
  app->onRender = [&] { during = xq_graphics_renderDevice; };
  xq_app_delegate->RenderGame();
  EXPECT_EQ(during, xq_app_delegate->_graphics.get());
  EXPECT_EQ(xq_graphics_renderDevice, nullptr);
  EXPECT_EQ(app->log, "create render ");
}

TEST_F(App, SuspendPausesTheAppBeforeTheSoundAndResumeRestartsTheSoundFirst) {
  auto app = StartedApp();
  xq_app_delegate->SuspendGame();
  xq_app_delegate->ResumeGame();
  EXPECT_EQ(app->log, "create suspend audio-suspend audio-resume resume ");
}

TEST_F(App, TheCloseAndBackKeysEndTheProgramOnlyWhenPressed) {
  // Each child starts its own app: a child forked while the audio device's mixing thread runs may
  // inherit one of its locks held, and wait on it for ever as it closes the device.
  for (int key : {kKeyClose, kKeyBack}) {
    const ChildResult result = RunInChild([this, key] {
      auto app = StartedApp();
      xq_app_delegate->KeyEvent(kEventKeyDown, key);
      _exit(7);  // not reached: the key ends the program
    });
    EXPECT_EQ(result.status, 0) << "key " << key;
    EXPECT_EQ(result.out, "");
  }

  auto app = StartedApp();
  for (int key : {kKeyClose, kKeyBack}) {
    xq_app_delegate->KeyEvent(kEventKeyUp, key);
    xq_app_delegate->KeyEvent(kEventKeyChar, key);
  }
  SUCCEED() << "still running";
}

TEST_F(App, AppFunctionsReachTheHost) {
  {
    RecordingHost host;
    xq_framework_Init();
    xq_app_SetUpdateRate(60);
    EXPECT_EQ(host.rate, 60);
    EXPECT_EQ(xq_app_UpdateRate, 60);
    EXPECT_EQ(xq_app_Millisecs(), 4242);
    EXPECT_EQ(xq_app_SaveState("a|b|"), 0);
    EXPECT_EQ(xq_app_LoadState(), String("a|b|"));
    host.saveResult = -2;
    EXPECT_EQ(xq_app_SaveState("c|"), -2);  // a failed save is not reported as saved
  }
  EXPECT_EQ(xq_app_Millisecs(), 0);
  EXPECT_EQ(xq_app_LoadState(), String());
  EXPECT_EQ(xq_app_SaveState("x"), -1);
}

class Source : public c_IAsyncEventSource {
 public:
  explicit Source(std::string name, std::string* log) : name_(std::move(name)), log_(log) {}
  std::function<void()> onPoll;
  void UpdateAsyncEvents() override {
    *log_ += name_;
    if (onPoll) onPoll();
  }

 private:
  std::string name_;
  std::string* log_;
};

TEST_F(App, AsyncSourcesArePolledInOrderEvenWhenOneRemovesItself) {
  EXPECT_EQ(xq_asyncevent_UpdateAsyncEvents(), 0);  // empty: nothing happens
  EXPECT_EQ(xq_asyncevent_current, nullptr);

  std::string log;
  auto a = std::make_shared<Source>("a", &log);
  auto b = std::make_shared<Source>("b", &log);
  auto c = std::make_shared<Source>("c", &log);
  xq_asyncevent_AddAsyncEventSource(a);
  xq_asyncevent_AddAsyncEventSource(b);
  xq_asyncevent_AddAsyncEventSource(c);
  b->onPoll = [&] {
    xq_asyncevent_UpdateAsyncEvents();  // no nesting
    xq_asyncevent_RemoveAsyncEventSource(b);
  };
  xq_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "abc");
  xq_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "abcac");
  EXPECT_EQ(xq_asyncevent_current, nullptr);
}

TEST(Stack, GrowsShrinksAndReadsNullOutside) {
  c_Stack<int> stack;
  stack.m_new2(Array<std::shared_ptr<int>>({std::make_shared<int>(1), std::make_shared<int>(2)}));
  EXPECT_EQ(stack.p_Length(), 2);
  EXPECT_EQ(*stack.p_Get(1), 2);
  EXPECT_EQ(stack.p_Get(2), nullptr);
  EXPECT_EQ(stack.p_Get(-1), nullptr);
  stack.p_Length2(3);
  EXPECT_EQ(stack.p_Get(2), nullptr);
  stack.p_Length2(-4);
  EXPECT_EQ(stack.p_Length(), 0);
}

}  // namespace
