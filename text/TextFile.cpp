#include "text/TextFile.h"

#include "common/Files.h"
#include "common/Unicode.h"
#include "common/WaitCursor.h"

#include <algorithm>
#include <utility>

namespace quorvel {

namespace {

void ShowError(HWND control, const std::string& text) {
    HWND owner = control ? ::GetAncestor(control, GA_ROOT) : nullptr;
    ::MessageBoxW(owner, Wide(text).c_str(), L"Error", MB_OK | MB_ICONINFORMATION);
}

} // namespace

LoadOutcome ReadTextFile(HWND owner, const std::string& File, NfoText& text) {
    WaitCursor wait;
    std::string bytes;
    if (File.empty() || !ReadWholeFile(File, bytes)) {
        ShowError(owner, "File Not Found");
        return LoadOutcome::Failed;
    }
    text = DecodeNfo(bytes);
    return text.nulShownAsBlank ? LoadOutcome::LoadedNulBytesShownAsBlanks : LoadOutcome::Loaded;
}

LoadOutcome LoadText(HWND Lst, const std::string& File, NfoEncoding& encoding) {
    NfoText text;
    const LoadOutcome outcome = ReadTextFile(Lst, File, text);
    if (outcome != LoadOutcome::Failed) {
        WaitCursor wait;
        SetTextBoxText(Lst, text.text);
        encoding = text.encoding;
    }
    return outcome;
}

std::u16string GetTextBoxText(HWND box) {
    const int length = ::GetWindowTextLengthW(box);
    std::u16string text(static_cast<std::size_t>(std::max(length, 0)) + 1, u'\0');
    const int got = ::GetWindowTextW(box, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void SetTextBoxText(HWND box, const std::u16string& text) {
    ::SetWindowTextW(box, reinterpret_cast<const wchar_t*>(text.c_str()));
}

bool SaveText(HWND Lst, const std::string& File, NfoEncoding encoding) {
    WaitCursor wait;
    const std::u16string text = GetTextBoxText(Lst);
    const EncodedNfo saved = EncodeNfo(text, encoding);
    if (saved.unencodable) {
        ShowError(Lst, "This file is saved in " + std::string(EncodingName(encoding)) +
                           ", which has no " + DescribeCharacter(text, *saved.unencodable) +
                           " (line " + std::to_string(LineOf(text, *saved.unencodable)) +
                           "). The file was not saved.");
        return false;
    }
    if (File.empty() || !ReplaceFileContents(File, saved.bytes)) {
        ShowError(Lst, "Unknown Error, Cannot Save File!");
        return false;
    }
    return true;
}

} // namespace quorvel
