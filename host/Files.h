// Files of the host on every platform: portable "kestro://" paths, the state file and its safe
// replacement, the one-game lock's interface, and the bounds on what is loaded. The host's OpenFile,
// LoadString, LoadData, SaveState and LoadState (host/Game.h) are built on these; the text decoder
// is decode/TextDecode.h.
//
//   String path = xq_data_FixDataPath("graphics/title.png");  // "kestro://data/graphics/title.png"
//   std::FILE* file = XQGame::Host()->OpenFile(path, "rb");    // opens ./data/graphics/title.png
//   String text = xq_data_DecodeText(bytes);                  // UTF-16 BOMs, UTF-8 with or without
//                                                              // BOM, else Latin-1 byte for byte
#pragma once

#include <string>
#include <string_view>

#include "decode/TextDecode.h"
#include "runtime/String.h"

// The state file, relative to the current folder.
inline constexpr const char* kStateFileName = "./.kestrostate";

// Gives a short name from the game ("graphics/title.png") the data scheme; names that already carry
// a scheme ("kestro://...", "http://...") or begin with "./" or "/" are returned unchanged.
String xq_data_FixDataPath(const String& path);

// The folder a portable path names: "kestro://data/", "kestro://internal/" and "kestro://external/"
// become "./data/", "./internal/" and "./external/"; any other "kestro:" path gives the empty
// string (it names nothing); paths without the scheme are returned unchanged.
String xq_data_PortableToFilePath(const String& path);

// The file name handed to the C library: the path's UTF-8 bytes.
std::string xq_data_NativePath(const String& path);

// The state file is replaced by writing a temporary file beside it (the name plus ".XXXXXX"),
// flushing it to disk and renaming it over the old one; the old file stays as it was when any step
// fails. A link in the file's place is replaced by a regular file: nothing is written through it.
// Returns 0, -1 (the temporary file cannot be created or renamed into place) or -2 (short write or
// failed flush); on failure `cause` (when given) receives the step and the system's reason.
int xq_data_ReplaceFile(const std::string& fileName, std::string_view bytes,
                        std::string* cause = nullptr);

// Removes the temporary files a replacement interrupted by a crash left beside fileName (regular
// files named fileName plus "." and six characters). Returns how many it removed. Only the copy of
// the game that holds the state lock may call it: another copy's temporary may be about to be
// renamed into place.
int xq_data_RemoveStaleTemporaries(const std::string& fileName);

// One game per state folder, asked through XQGame::LockState, which each platform provides (the
// desktop a file lock, platform/glfw/StateLock.cpp; the browser a Web Lock). The first copy holds
// it for its whole life (ending the process lets it go, so a crash leaves no stale lock) and reads
// kHeld; a second copy finds it kTaken. Where no lock can be made (a read-only folder, no file
// locks) it is kUnavailable: the game plays on there, and its saves fail and say so.
enum class StateLock { kHeld, kTaken, kUnavailable };

// The three below ask the platform (XQGame::DataReady, LoaderFinished, SoundExtension).
// Whether the data file of a portable path ("kestro://data/parts-hd.png") is in place to be opened.
// The desktop's data folder is complete from the start: always true. In the browser the files come
// over the network one by one, and asking for one that is not yet in place starts its download (or
// moves it ahead): `urgency` kDataNow for what the screen waits for, kDataBeforePlay and
// kDataSometime for what may come in behind the menu, in that order. A file the data does not list
// is true (its load then fails and says so).
enum DataUrgency { kDataNow = 0, kDataBeforePlay = 1, kDataSometime = 2 };
bool xq_data_FileReady(const String& path, int urgency);

// The loader has gone through all its steps (the menu is up): files asked for as kDataBeforePlay
// or kDataSometime may take the connection from now on. Nothing to do on the desktop.
void xq_data_LoaderFinished();

// The sound effects' file type in this platform's data: ".wav" on the desktop, ".ogg" in the
// browser (a sixth of the download).
const char* xq_data_SoundExtension();

// The largest file LoadData and LoadString read (the game's largest data file is a few hundred
// KB); a larger one is refused with one line.
inline constexpr size_t kDataFileLimit = 64 * 1024 * 1024;

// The largest state file that is loaded; a real record is about 130 bytes.
inline constexpr size_t kStateFileLimit = 64 * 1024;

// Reads a state file of at most `limit` bytes into `bytes`. The file is opened without blocking and
// only a regular file is read, so a named pipe, a device or a folder in its place can neither hang
// nor exhaust memory. Returns true with the bytes; false with `bytes` empty and `why` a short
// reason ("" when the file is simply missing).
bool xq_data_ReadStateFile(const std::string& fileName, size_t limit, std::string& bytes,
                           std::string& why);

namespace xq_data_testing {
// Called by xq_data_ReplaceFile right after the temporary file is created (tests stop the process
// there); null in the program.
extern void (*afterTemporaryCreated)();
// Stands in for the desktop's "every data file is in place" (xq_data_FileReady), so that tests can
// play a host whose files arrive later; null in the program.
extern bool (*fileReady)(const String& path, int urgency);
}  // namespace xq_data_testing
