#pragma once
// Reading a text file into the text box and writing the text box back.
#include <windows.h>

#include <string>

namespace quorvel {

enum class LoadOutcome {
    Loaded,
    // The file holds NUL bytes, which a text box cannot hold: they are shown
    // as blanks, and the text no longer matches the file byte for byte.
    LoadedNulBytesShownAsBlanks,
    Failed,
};

// Fills `Lst` with the file's lines, each followed by CR LF. On failure shows
// "File Not Found" and leaves the text box as it was.
LoadOutcome LoadText(HWND Lst, const std::string& File);

// The reading half of LoadText: the text the box would get, or the message
// and Failed. `owner` is the window the message belongs to.
LoadOutcome ReadTextFile(HWND owner, const std::string& File, std::string& text);

// Writes the text of `Lst` to `File`, exactly its bytes, so that a failed
// write never costs the old file. On failure shows "Unknown Error, Cannot
// Save File!" and returns false.
bool SaveText(HWND Lst, const std::string& File);

} // namespace quorvel
