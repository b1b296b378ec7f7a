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

// Conversions of the values read. A missing key reads as the settings path,
// which is never a number: it needs no conversion, nor the loading of the
// conversion routines on a first start.
class Values {
public:
    explicit Values(const std::string& settingsPath) : missing_(settingsPath) {}

    template <typename Parse> auto Number(const std::string& text, Parse parse) const {
        return text == missing_ ? decltype(parse(text))() : parse(text);
    }
    // "Equal to n": text that is not a number never equals anything.
    bool Equals(const std::string& text, double n) const {
        const auto value = Number(text, ParseDouble);
        return value && *value == n;
    }
    void ApplyColor(const std::string& text, TextBoxState& textBox, bool back) const {
        if (const auto c = Number(text, ParseInt32))
            back ? textBox.SetBackColor(static_cast<std::uint32_t>(*c))
                 : textBox.SetForeColor(static_cast<std::uint32_t>(*c));
    }

private:
    const std::string& missing_;
};

Holders ReadHolders(SettingsStore& store, const Values& values, HWND txtTransp,
                    TextBoxState& textBox) {
    Holders h;
    store.ReadAll([&] {
        // Each read leaves its value in the store's settings value; a key
        // with nothing after "=" leaves the value of the read before it.
        const auto read = [&](const char* key) -> const std::string& {
            store.LoadBPD(nullptr, store.path(), "INIT", key);
            return store.value();
        };
        h.alwaysOnTop = read("ALWAYSONTOP");
        SetWindowTextUtf8(txtTransp, read("TRANSPATENCY"));
        h.foreColor = read("FGCOLOR");
        h.backColor = read("BGCOLOR");
        h.fileAss = read("ADDFILEASS");
        h.urlProt = read("ADDURLPROT");
        h.makeWrite = read("MAKEWRITE");
        values.ApplyColor(read("ForeColor"), textBox, false);
        values.ApplyColor(read("BackColor"), textBox, true);
    });
    return h;
}

} // namespace

void Load_Config(SettingsStore& store, HWND window, HWND txtTransp, ToggleCaptions& captions,
                 TextBoxState& textBox) {
    const Values values(store.path());
    const Holders h = ReadHolders(store, values, txtTransp, textBox);

    const auto onTop = values.Number(h.alwaysOnTop, ParseDouble);
    if (onTop && *onTop == 1) {
        SetTopMost(window, true);
        captions.SetCaption(Toggle::OnTop, "Set Always On Top (True)");
    } else if (!onTop || *onTop == 0) {
        captions.SetCaption(Toggle::OnTop, "Set Always On Top (False)");
    }

    if (const auto level = values.Number(GetWindowTextAll(txtTransp), ParseInt16))
        SetTransparency(window, *level);

    // The upper-case keys come from a hand-edited file and win.
    values.ApplyColor(h.foreColor, textBox, false);
    values.ApplyColor(h.backColor, textBox, true);

    if (values.Equals(h.fileAss, 0))
        captions.SetCaption(Toggle::FileAssociation, "Remove File Association");
    if (values.Equals(h.urlProt, 0))
        captions.SetCaption(Toggle::UrlProtocol, "Remove URL Protocol");

    const bool writable = values.Equals(h.makeWrite, 0);
    captions.SetCaption(Toggle::MakeWrite, writable ? "Make Read-Only" : "Make Writable");
    textBox.SetLocked(!writable);
}

} // namespace quorvel
