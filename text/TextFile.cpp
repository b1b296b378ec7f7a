#include "text/TextFile.h"

#include "common/Files.h"
#include "common/WaitCursor.h"
#include "common/Window.h"
#include "text/TextLines.h"

#include <algorithm>
#include <utility>

namespace quorvel {

namespace {

void ShowError(HWND control, const char* text) {
    HWND owner = control ? ::GetAncestor(control, GA_ROOT) : nullptr;
    ::MessageBoxA(owner, text, "Error", MB_OK | MB_ICONINFORMATION);
}

} // namespace

LoadOutcome ReadTextFile(HWND owner, const std::string& File, std::string& text) {
    WaitCursor wait;
    std::string bytes;
    if (File.empty() || !ReadWholeFile(File, bytes)) {
        ShowError(owner, "File Not Found");
        return LoadOutcome::Failed;
    }
    text = TakeNormalizedLines(std::move(bytes));
    // A text box ends its text at the first NUL; show the rest of the file
    // rather than silently dropping it.
    const bool hadNul = text.find('\0') != std::string::npos;
    if (hadNul)
        std::replace(text.begin(), text.end(), '\0', ' ');
    return hadNul ? LoadOutcome::LoadedNulBytesShownAsBlanks : LoadOutcome::Loaded;
}

LoadOutcome LoadText(HWND Lst, const std::string& File) {
    std::string text;
    const LoadOutcome outcome = ReadTextFile(Lst, File, text);
    if (outcome != LoadOutcome::Failed) {
        WaitCursor wait;
        ::SetWindowTextA(Lst, text.c_str());
    }
    return outcome;
}

bool SaveText(HWND Lst, const std::string& File) {
    WaitCursor wait;
    if (File.empty() || !ReplaceFileContents(File, GetWindowTextAll(Lst))) {
        ShowError(Lst, "Unknown Error, Cannot Save File!");
        return false;
    }
    return true;
}

} // namespace quorvel
