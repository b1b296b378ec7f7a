#pragma once
// Reading a text file into the text box and writing the text box back, in
// the encoding the file was read in (text/NfoText.h).
#include <windows.h>

#include "text/NfoText.h"

#include <string>

namespace quorvel {

enum class LoadOutcome {
    Loaded,
    // The file holds NUL characters, which a text box cannot hold: they are
    // shown as blanks, and the text no longer matches the file.
    LoadedNulBytesShownAsBlanks,
    Failed,
};

// The reading half of LoadText: the file's text and encoding, or the
// message "File Not Found" and Failed. `owner` is the window the message
// belongs to.
LoadOutcome ReadTextFile(HWND owner, const std::string& File, NfoText& text);

// Fills `Lst` with the file's lines, each followed by CR LF; `encoding` gets
// the file's. On failure shows "File Not Found" and leaves the text box and
// `encoding` as they were.
LoadOutcome LoadText(HWND Lst, const std::string& File, NfoEncoding& encoding);

// The text of a text box, and its text set whole.
std::u16string GetTextBoxText(HWND box);
void SetTextBoxText(HWND box, const std::u16string& text);

// Writes the text of `Lst` to `File` in `encoding`, so that a failed write
// never costs the old file. A character the encoding has no place for is
// named to the user, with its line, and nothing is written; any other
// failure shows "Unknown Error, Cannot Save File!". False when not saved.
bool SaveText(HWND Lst, const std::string& File, NfoEncoding encoding);

} // namespace quorvel
