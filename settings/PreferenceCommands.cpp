#include "settings/PreferenceCommands.h"

#include "appearance/modGeneral.h"

#include <commdlg.h>

#include <string>

namespace quorvel {

namespace {

// The colour dialog, opened on the colour being changed. Cancel is a
// failure of the dialog: the command then changes nothing.
bool PickColor(HWND owner, std::uint32_t current, std::uint32_t& chosen) {
    // Both colour commands share the dialog's custom colours.
    static COLORREF customColors[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = (current & 0x80000000u) ? ::GetSysColor(static_cast<int>(current & 0xFFu))
                                           : static_cast<COLORREF>(current);
    cc.lpCustColors = customColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorW(&cc))
        return false;
    chosen = static_cast<std::uint32_t>(cc.rgbResult & 0x00FFFFFFu);
    return true;
}

} // namespace

void mnuFC_Click(HWND owner, TextBoxState& textBox, SettingsWriter& settings) {
    std::uint32_t color = 0;
    if (!PickColor(owner, textBox.ForeColor(), color) || !textBox.SetForeColor(color))
        return;
    settings.Write("ForeColor", std::to_string(static_cast<std::int32_t>(textBox.ForeColor())));
}

void mnuBC_Click(HWND owner, TextBoxState& textBox, SettingsWriter& settings) {
    std::uint32_t color = 0;
    if (!PickColor(owner, textBox.BackColor(), color) || !textBox.SetBackColor(color))
        return;
    settings.Write("BackColor", std::to_string(static_cast<std::int32_t>(textBox.BackColor())));
}

void mnuOnTop_Click(HWND window, ToggleCaptions& captions, SettingsWriter& settings) {
    // The file is written before the caption changes.
    const std::string caption = captions.Caption(Toggle::OnTop);
    bool topMost = false;
    if (caption == "Set Always On Top (True)") {
        settings.Write("ALWAYSONTOP", "0");
        captions.SetCaption(Toggle::OnTop, "Set Always On Top (False)");
    } else if (caption == "Set Always On Top (False)") {
        settings.Write("ALWAYSONTOP", "1");
        captions.SetCaption(Toggle::OnTop, "Set Always On Top (True)");
        topMost = true;
    } else {
        return;
    }
    SetTopMost(window, topMost);
}

void mnuMakeWrite_Click(ToggleCaptions& captions, TextBoxState& textBox, SettingsWriter& settings) {
    // The window changes before the file is written.
    const std::string caption = captions.Caption(Toggle::MakeWrite);
    if (caption == "Make Writable") {
        captions.SetCaption(Toggle::MakeWrite, "Make Read-Only");
        textBox.SetLocked(false);
        settings.Write("MAKEWRITE", "0");
    } else if (caption == "Make Read-Only") {
        captions.SetCaption(Toggle::MakeWrite, "Make Writable");
        textBox.SetLocked(true);
        settings.Write("MAKEWRITE", "1");
    }
}

} // namespace quorvel
