// The app, the xq_app_ functions and the asynchronous event sources.
#include "framework/App.h"

#include "framework/GameDelegate.h"
#include "framework/Startup.h"
#include "runtime/Error.h"

c_App* xq_app_app = nullptr;
std::unique_ptr<c_GameDelegate> xq_app_delegate;
int xq_app_UpdateRate = 0;

c_IAsyncEventSource* xq_asyncevent_current = nullptr;
std::shared_ptr<c_Stack<c_IAsyncEventSource>> xq_asyncevent_sources =
    std::make_shared<c_Stack<c_IAsyncEventSource>>();

namespace {
// The owner of the app xq_app_Create registered.
std::shared_ptr<c_App> ownedApp;
}  // namespace

c_App::~c_App() {
  if (xq_app_app == this) xq_app_app = nullptr;
}

c_App* c_App::m_new() {
  if (xq_app_app) xqError("App has already been created");
  xq_app_app = this;
  xq_app_delegate = std::make_unique<c_GameDelegate>();
  if (XQGame* host = XQGame::Host()) host->SetDelegate(xq_app_delegate.get());
  return this;
}

int c_App::p_OnClose() {
  return xq_app_EndApp();
}
int c_App::p_OnBack() {
  return xq_app_EndApp();
}

c_App* xq_app_Create(std::shared_ptr<c_App> app) {
  if (!app) return nullptr;
  app->m_new();
  ownedApp = std::move(app);
  return ownedApp.get();
}

void xq_app_Release() {
  XQGame* host = XQGame::Host();
  if (host && xq_app_delegate && host->Delegate() == xq_app_delegate.get()) {
    host->SetDelegate(nullptr);
  }
  // The app first: its images and sounds were made on the delegate's devices.
  xq_app_app = nullptr;
  ownedApp.reset();
  xq_app_delegate.reset();
}

int xq_app_SetUpdateRate(int hertz) {
  xq_app_UpdateRate = hertz;
  if (XQGame* host = XQGame::Host()) host->SetUpdateRate(hertz);
  return 0;
}

int xq_app_Millisecs() {
  XQGame* host = XQGame::Host();
  return host ? host->Millisecs() : 0;
}

int xq_app_SaveState(const String& state) {
  XQGame* host = XQGame::Host();
  return host ? host->SaveState(state) : -1;
}

String xq_app_LoadState() {
  XQGame* host = XQGame::Host();
  return host ? host->LoadState() : String();
}

int xq_app_EndApp() {
  // Release the app and its devices in order rather than leave it to the C++ run time's exit
  // sequence, which knows nothing of their dependencies. The window stays as it is.
  xq_std_shutdown();
  xqError(String());
}

int xq_asyncevent_AddAsyncEventSource(std::shared_ptr<c_IAsyncEventSource> source) {
  if (source) xq_asyncevent_sources->p_Push(std::move(source));
  return 0;
}

int xq_asyncevent_RemoveAsyncEventSource(const std::shared_ptr<c_IAsyncEventSource>& source) {
  if (!source) return 0;
  if (xq_asyncevent_current == source.get()) xq_asyncevent_current = nullptr;
  xq_asyncevent_sources->p_RemoveEach(source);
  return 0;
}

int xq_asyncevent_UpdateAsyncEvents() {
  if (xq_asyncevent_current) return 0;
  // Hold the list and each source while it runs: a source may remove itself from the list.
  const auto sources = xq_asyncevent_sources;
  int i = 0;
  while (i < sources->p_Length()) {
    const auto source = sources->p_Get(i);
    if (!source) {
      ++i;
      continue;
    }
    xq_asyncevent_current = source.get();
    source->UpdateAsyncEvents();
    if (xq_asyncevent_current) ++i;
  }
  xq_asyncevent_current = nullptr;
  return 0;
}
