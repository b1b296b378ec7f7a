#include "settings/Load_Config.h"

#include "appearance/modGeneral.h"
#include "appearance/modTransparency.h"
#include "common/NumberFormat.h"
#include "common/Window.h"
#include "settings/SettingsStore.h"

namespace quorvel {

namespace {

// One holder per setting, filled by the reads and acted on afterwards.
struct Holders {
    std::string alwaysOnTop, foreColor, backColor, fileAss, urlProt, makeWrite;
};

// "Equal to n" for a setting held as text: text that is not a number never
// equals anything.
bool HolderEquals(const std::string& holder, double n) {
    const auto value = ParseDouble(holder);
    return value && *value == n;
}

void ApplyColor(const std::string& text, TextBoxState& textBox, bool back) {
    if (const auto c = ParseInt32(text))
        back ? textBox.SetBackColor(static_cast<std::uint32_t>(*c))
             : textBox.SetForeColor(static_cast<std::uint32_t>(*c));
}

Holders ReadHolders(SettingsStore& store, HWND txtTransp, TextBoxState& textBox) {
    Holders h;
    store.ReadAll([&] {
        // Each read leaves its value in the store's settings value; a key
        // with nothing after "=" leaves the value of the read before it.
        const auto read = [&](const char* key) -> const std::string& {
            store.LoadBPD(nullptr, store.path(), "INIT", key);
            return store.value();
        };
        h.alwaysOnTop = read("ALWAYSONTOP");
        ::SetWindowTextA(txtTransp, read("TRANSPATENCY").c_str());
        h.foreColor = read("FGCOLOR");
        h.backColor = read("BGCOLOR");
        h.fileAss = read("ADDFILEASS");
        h.urlProt = read("ADDURLPROT");
        h.makeWrite = read("MAKEWRITE");
        ApplyColor(read("ForeColor"), textBox, false);
        ApplyColor(read("BackColor"), textBox, true);
    });
    return h;
}

} // namespace

void Load_Config(SettingsStore& store, HWND window, HWND txtTransp, ToggleCaptions& captions,
                 TextBoxState& textBox) {
    const Holders h = ReadHolders(store, txtTransp, textBox);

    const auto onTop = ParseDouble(h.alwaysOnTop);
    if (onTop && *onTop == 1) {
        SetTopMost(window, true);
        captions.SetCaption(Toggle::OnTop, "Set Always On Top (True)");
    } else if (!onTop || *onTop == 0) {
        captions.SetCaption(Toggle::OnTop, "Set Always On Top (False)");
    }

    if (const auto level = ParseInt16(GetWindowTextAll(txtTransp)))
        SetTransparency(window, *level);

    // The upper-case keys come from a hand-edited file and win.
    ApplyColor(h.foreColor, textBox, false);
    ApplyColor(h.backColor, textBox, true);

    if (HolderEquals(h.fileAss, 0))
        captions.SetCaption(Toggle::FileAssociation, "Remove File Association");
    if (HolderEquals(h.urlProt, 0))
        captions.SetCaption(Toggle::UrlProtocol, "Remove URL Protocol");

    const bool writable = HolderEquals(h.makeWrite, 0);
    captions.SetCaption(Toggle::MakeWrite, writable ? "Make Read-Only" : "Make Writable");
    textBox.SetLocked(!writable);
}

} // namespace quorvel
