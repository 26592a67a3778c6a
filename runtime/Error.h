// The failure path shared by every subsystem: diagnostics on standard output, fatal errors, the
// debugger stop, signal handling, and ThrowableObject, the base of exceptions that end the program
// when they escape to the host.
//
// xqError("") is how the program ends normally (status 0). Any other message prints
// "Kestro Runtime Error : <message>" and ends with status 255 (-1).
#pragma once

#include "runtime/String.h"

// Base of every exception the framework or the game throws. One that escapes a delegate call
// reaches XQGame::Die.
class ThrowableObject {
 public:
  virtual ~ThrowableObject() = default;
};

// One UTF-8 line on standard output, flushed.
void xqPrint(const String& text);
void xqDebugLog(const String& text);

// Empty message: exit(0) at once. Otherwise the message narrowed to 8 bits goes to dbg_error.
[[noreturn]] void xqError(const String& message);

// How the program ends where its process cannot simply exit (a browser page): xqError("") calls
// the handler with status 0 and an empty text, a runtime error with -1 and its text (after the
// report lines, instead of the debugger stop). The handler must not return. Null, the default,
// keeps the process's own ending.
using xqEndHandler = void (*)(int status, const char* text);
void xqSetEndHandler(xqEndHandler handler);
// Ends the program with `status`: through the handler when one is set, else by exiting.
[[noreturn]] void xqEnd(int status, const char* text);

// "Kestro Runtime Error : " + text, then the debugger stop; without a debugger attached the process
// ends with status 255.
[[noreturn]] void dbg_error(const char* text);

// Reads debugger commands from standard input when a debugger is attached (see Error.cpp) and
// returns only for a step command; without one it ends the program with status 255 at once.
void dbg_stop();

// Installed for SIGSEGV, SIGILL and SIGFPE; reports the signal by name as dbg_error does, using
// only async-signal-safe calls.
void sighandler(int signal);

// Installs sighandler for SIGSEGV, SIGILL and SIGFPE, on a stack of its own, and reads the
// debugger switch (DROMMEL_DEBUGGER=1) for it.
void xqInstallSignalHandlers();
