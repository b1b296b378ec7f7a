// File > Preferences > Registry Settings: the two toggles that register the
// program with the shell. Each keeps its state in its own caption and in
// the settings file, and both must keep describing what the registry really
// holds when a registration fails half-way.
#include "app/frmMain.h"

#include "app/MenuCaption.h"
#include "app/resource.h"
#include "shell/modFileAssociation.h"

namespace quorvel {

namespace {

constexpr char kProgramId[] = "Quorvel";
constexpr char kExtension[] = "NFO";
constexpr char kExtensionKey[] = ".nfo";

constexpr char kAddFileAss[] = "Add File Association";
constexpr char kRemoveFileAss[] = "Remove File Association";
constexpr char kAddUrl[] = "Add URL Protocol";
constexpr char kRemoveUrl[] = "Remove URL Protocol";

} // namespace

void frmMain::mnuAss_Click() {
    const std::string caption = GetMenuCaption(menu_, IDM_mnuAss);
    if (caption == kAddFileAss) {
        settingsValue_ = "0";
        WriteSetting("ADDFILEASS");
        SetMenuCaption(menu_, IDM_mnuAss, kRemoveFileAss);
        if (CreateAssociation(kProgramId, kExtension, ProgramPath(), true))
            return;

        // Not registered after all. Take away the rows that were written, so
        // no ".nfo" points at a half-made program key, and say so again.
        RemoveAssociation(kProgramId, kExtensionKey);
        // Removing the program key also took the URL protocol mark with it;
        // put it back if the protocol counts as registered, or admit that it
        // is not.
        if (GetMenuCaption(menu_, IDM_mnuUrl) == kRemoveUrl) {
            try {
                AddUrlProtocol(kProgramId);
            } catch (const RegistrationError&) {
                SetMenuCaption(menu_, IDM_mnuUrl, kAddUrl);
                settingsValue_ = "1";
                WriteSetting("ADDURLPROT");
            }
        }
        SetMenuCaption(menu_, IDM_mnuAss, kAddFileAss);
        settingsValue_ = "1";
        WriteSetting("ADDFILEASS");
    } else if (caption == kRemoveFileAss) {
        settingsValue_ = "1";
        WriteSetting("ADDFILEASS");
        SetMenuCaption(menu_, IDM_mnuAss, kAddFileAss);
        RemoveAssociation(kProgramId, kExtensionKey);
    }
}

void frmMain::mnuUrl_Click() {
    const std::string caption = GetMenuCaption(menu_, IDM_mnuUrl);
    if (caption == kAddUrl) {
        SetMenuCaption(menu_, IDM_mnuUrl, kRemoveUrl);
        try {
            AddUrlProtocol(kProgramId);
        } catch (const RegistrationError&) {
            // The mark could not be written (or its key not closed): make
            // sure none is left behind and keep offering to add it.
            RemoveUrlProtocolMark(kProgramId);
            SetMenuCaption(menu_, IDM_mnuUrl, kAddUrl);
            settingsValue_ = "1";
            WriteSetting("ADDURLPROT");
            return;
        }
        settingsValue_ = "0";
        WriteSetting("ADDURLPROT");
    } else if (caption == kRemoveUrl) {
        SetMenuCaption(menu_, IDM_mnuUrl, kAddUrl);
        if (!ResetAssociation(kProgramId, kExtension, ProgramPath())) {
            // The association could not be written afresh: take away what
            // was written, and the file association no longer counts as
            // registered.
            RemoveAssociation(kProgramId, kExtensionKey);
            if (GetMenuCaption(menu_, IDM_mnuAss) == kRemoveFileAss) {
                SetMenuCaption(menu_, IDM_mnuAss, kAddFileAss);
                settingsValue_ = "1";
                WriteSetting("ADDFILEASS");
            }
        }
        // The mark normally went with the program key; when something kept
        // that key from being deleted, the mark must still go.
        RemoveUrlProtocolMark(kProgramId);
        settingsValue_ = "1";
        WriteSetting("ADDURLPROT");
    }
}

} // namespace quorvel
