// The JSON reader with key paths: load a JSON text once, then ask for the text at paths such as
// "//color.iPhone12,1.1-2". The program uses it to look names up in its compiled-in tables.
//
// Texts. The JSON text, the key paths and the results are GBK byte strings, as every text of the
// program; the reader converts at its edges.
//
// Key paths. "//" followed by member names joined by "."; each name selects a member of the object
// reached so far. The path "//" alone names the member "" of the top object. Names are compared
// byte for byte (case and '#' included).
//
// Failures are quiet: a text that is not JSON loads as nothing (every lookup then gives ""), and a
// lookup gives "" when a member on the path is missing, when something on the way is not an object,
// or when the value reached is not a string.
//
// One reader belongs to one thread at a time; separate readers may be used on separate threads.
#pragma once

#include <string>
#include <string_view>

namespace platform::json {

class JsonKeyValueReader {
public:
    JsonKeyValueReader();
    ~JsonKeyValueReader();
    JsonKeyValueReader(const JsonKeyValueReader &) = delete;
    JsonKeyValueReader &operator=(const JsonKeyValueReader &) = delete;

    // Forgets what was loaded.
    void clear();
    // Replaces the loaded document with `gbkJson`. False (and nothing loaded) when it is not JSON.
    bool load(std::string_view gbkJson);
    // The string at `keyPath`, GBK, or "" (see above).
    std::string text(std::string_view keyPath) const;

private:
    struct Document;
    Document *document_;
};

} // namespace platform::json
