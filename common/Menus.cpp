#include "common/Menus.h"

#include "common/Unicode.h"

namespace quorvel {

namespace {

std::string GetMenuText(HMENU menu, UINT id) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, id, FALSE, &info))
        return {};
    std::wstring text(static_cast<std::size_t>(info.cch) + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(menu, id, FALSE, &info))
        return {};
    text.resize(info.cch);
    return Utf8(text);
}

} // namespace

std::string GetMenuCaption(HMENU menu, UINT id) {
    std::string text = GetMenuText(menu, id);
    const auto tab = text.find('\t');
    return tab == std::string::npos ? text : text.substr(0, tab);
}

void SetMenuCaption(HMENU menu, UINT id, const std::string& caption) {
    const std::string old = GetMenuText(menu, id);
    const auto tab = old.find('\t');
    std::string text = caption;
    if (tab != std::string::npos)
        text += old.substr(tab);
    std::wstring wide = Wide(text);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = wide.data();
    ::SetMenuItemInfoW(menu, id, FALSE, &info);
}

bool IsMenuItemEnabled(HMENU menu, UINT id) {
    const UINT state = ::GetMenuState(menu, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void SetMenuItemEnabled(HMENU menu, UINT id, bool enabled) {
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

} // namespace quorvel
