// The control socket's line protocol. Each command is one line; the reply is zero or more lines,
// then "ok" or "error <text>". Commands (README.md has the details):
//   plug <profile-file>              -> "<udid>", ok
//   unplug <udid>
//   set <udid> <domain|-> <key> <typed-json>
//   unset <udid> <domain|-> <key>
//   error <udid> <selector> <ErrorName|->     inject (or, with -, stop injecting) an error
//   delay <udid> <selector> <milliseconds>    0 removes the delay
//   requests <udid>                  -> one line per lockdown request since plug (or clear)
//   clear <udid>
//   list                             -> one udid per line
//   quit
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vi {

class Registry;

struct ControlReply {
    std::vector<std::string> lines;
    std::string error; // empty: ok
};

// Executes one command line. quit is reported through quitRequested, the caller ends the server
// after sending the reply. Safe from any thread.
ControlReply runControlCommand(Registry &registry, const std::string &line, bool &quitRequested);

// Serves one control connection on its own thread until the client closes or the server stops.
// onQuit is called after the reply to "quit" went out. Does not close fd.
void serveControlConnection(Registry &registry, int fd, const std::function<void()> &onQuit);

} // namespace vi
