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

// Writes the text of `Lst` to `File`, exactly its bytes. The text goes to a
// new file in the same folder first and replaces `File` only once it is
// whole on disk, so a failed write never costs the old file. On failure
// shows "Unknown Error, Cannot Save File!" and returns false.
bool SaveText(HWND Lst, const std::string& File);

// Writes `bytes` to `path` by way of a flushed temporary file in the same
// folder, replacing `path` in one step. False on any failure, with `path`
// untouched and no temporary file left.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);

// The text of a window, all of it, as 8-bit text.
std::string GetWindowTextAll(HWND hwnd);

} // namespace quorvel
