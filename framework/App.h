// The application framework's app side: c_App, whose hooks the game fills in, the xq_app_ functions
// that give the game the host's clock, update rate and state store and a way to end, and the
// asynchronous event sources polled once per update.
//
//   class c_MyGame : public c_App {
//     int p_OnCreate() override { xq_app_SetUpdateRate(60); return 0; }
//     int p_OnUpdate() override { ...; return 0; }
//     int p_OnRender() override { ...; return 0; }
//   };
//   xq_app_Create(std::make_shared<c_MyGame>());  // xqMain: registers it with the host
//
// Constructing an app registers nothing (tests make many); m_new, run once by xq_app_Create, makes
// it the app, creates the c_GameDelegate and hands that to the host. A second m_new ends the
// program with "App has already been created".
#pragma once

#include <memory>
#include <vector>

#include "host/Game.h"
#include "runtime/Array.h"
#include "runtime/String.h"

class c_GameDelegate;

class c_App {
 public:
  c_App() = default;
  virtual ~c_App();
  c_App(const c_App&) = delete;
  c_App& operator=(const c_App&) = delete;

  // Registers this object as the app; fatal when one is registered already.
  c_App* m_new();

  // Hooks the game overrides; each returns 0 and does nothing by default.
  virtual int p_OnCreate() { return 0; }
  virtual int p_OnSuspend() { return 0; }
  virtual int p_OnResume() { return 0; }
  virtual int p_OnUpdate() { return 0; }
  virtual int p_OnRender() { return 0; }
  // Fixed hooks: loading draws nothing; the close button and the back key end the program.
  int p_OnLoading() { return 0; }
  int p_OnClose();
  int p_OnBack();
};

// The registered app (not owning: see xq_app_Create), null until one registers.
extern c_App* xq_app_app;
extern std::unique_ptr<c_GameDelegate> xq_app_delegate;
// The rate last asked for through xq_app_SetUpdateRate.
extern int xq_app_UpdateRate;

// Keeps the app alive until xq_app_Release and runs its m_new. Returns the app.
c_App* xq_app_Create(std::shared_ptr<c_App> app);
// Forgets the app and the delegate with its devices (the process's shut-down; tests between cases).
void xq_app_Release();

// The host's clock, update rate and state store (XQGame::Host()); without a host they do nothing
// and read 0, an empty state or -1.
int xq_app_SetUpdateRate(int hertz);
int xq_app_Millisecs();
// 0 saved; -1 or -2 when the state could not be saved (the previous state is then kept).
int xq_app_SaveState(const String& state);
String xq_app_LoadState();
// Ends the program at once with status 0; nothing is saved first.
int xq_app_EndApp();

// A source of events that arrive between updates; polled by xq_asyncevent_UpdateAsyncEvents.
class c_IAsyncEventSource {
 public:
  virtual ~c_IAsyncEventSource() = default;
  virtual void UpdateAsyncEvents() = 0;
};

// A growable array of shared references. Reads outside it give null; a negative length reads 0.
template <class T>
class c_Stack {
 public:
  c_Stack* m_new() { return this; }
  c_Stack* m_new2(const Array<std::shared_ptr<T>>& items) {
    data_.assign(items.begin(), items.end());
    return this;
  }
  int p_Length() const { return static_cast<int>(data_.size()); }
  // Shrinks (dropping references) or grows (with null references).
  void p_Length2(int length) { data_.resize(static_cast<size_t>(length < 0 ? 0 : length)); }
  std::shared_ptr<T> p_Get(int index) const {
    return index >= 0 && index < p_Length() ? data_[static_cast<size_t>(index)] : nullptr;
  }
  void p_Push(std::shared_ptr<T> item) { data_.push_back(std::move(item)); }
  // Removes every occurrence of item.
  void p_RemoveEach(const std::shared_ptr<T>& item) { std::erase(data_, item); }

 private:
  std::vector<std::shared_ptr<T>> data_;
};

// The source being polled, null when no poll is under way.
extern c_IAsyncEventSource* xq_asyncevent_current;
extern std::shared_ptr<c_Stack<c_IAsyncEventSource>> xq_asyncevent_sources;

int xq_asyncevent_AddAsyncEventSource(std::shared_ptr<c_IAsyncEventSource> source);
// Removes the source; a source may remove itself while it is polled.
int xq_asyncevent_RemoveAsyncEventSource(const std::shared_ptr<c_IAsyncEventSource>& source);
// Polls every source once, in order; does nothing when called from inside a poll.
int xq_asyncevent_UpdateAsyncEvents();
