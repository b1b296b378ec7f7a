// File > Preferences > Registry Settings: the two toggles that register the
// program with the shell. Each keeps its state in its own caption and in
// the settings file, and both must keep describing what the registry really
// holds when a registration fails half-way.
#include "shell/RegistryCommands.h"

#include "shell/modFileAssociation.h"

namespace quorvel {

namespace {

constexpr const char* kProgramId = kProductTitle;
constexpr char kExtension[] = "NFO";
constexpr char kExtensionKey[] = ".nfo";

constexpr char kAddFileAss[] = "Add File Association";
constexpr char kRemoveFileAss[] = "Remove File Association";
constexpr char kAddUrl[] = "Add URL Protocol";
constexpr char kRemoveUrl[] = "Remove URL Protocol";

} // namespace

void mnuAss_Click(ToggleCaptions& captions, SettingsWriter& settings,
                  const std::string& programPath) {
    const std::string caption = captions.Caption(Toggle::FileAssociation);
    if (caption == kAddFileAss) {
        settings.Write("ADDFILEASS", "0");
        captions.SetCaption(Toggle::FileAssociation, kRemoveFileAss);
        if (CreateAssociation(kProgramId, kExtension, programPath, true))
            return;

        // Not registered after all. Take away the rows that were written, so
        // no ".nfo" points at a half-made program key, and say so again.
        RemoveAssociation(kProgramId, kExtensionKey);
        // Removing the program key also took the URL protocol mark with it;
        // put it back if the protocol counts as registered, or admit that it
        // is not.
        if (captions.Caption(Toggle::UrlProtocol) == kRemoveUrl) {
            try {
                AddUrlProtocol(kProgramId);
            } catch (const RegistrationError&) {
                captions.SetCaption(Toggle::UrlProtocol, kAddUrl);
                settings.Write("ADDURLPROT", "1");
            }
        }
        captions.SetCaption(Toggle::FileAssociation, kAddFileAss);
        settings.Write("ADDFILEASS", "1");
    } else if (caption == kRemoveFileAss) {
        settings.Write("ADDFILEASS", "1");
        captions.SetCaption(Toggle::FileAssociation, kAddFileAss);
        RemoveAssociation(kProgramId, kExtensionKey);
    }
}

void mnuUrl_Click(ToggleCaptions& captions, SettingsWriter& settings,
                  const std::string& programPath) {
    const std::string caption = captions.Caption(Toggle::UrlProtocol);
    if (caption == kAddUrl) {
        captions.SetCaption(Toggle::UrlProtocol, kRemoveUrl);
        try {
            AddUrlProtocol(kProgramId);
        } catch (const RegistrationError&) {
            // The mark could not be written (or its key not closed): make
            // sure none is left behind and keep offering to add it.
            RemoveUrlProtocolMark(kProgramId);
            captions.SetCaption(Toggle::UrlProtocol, kAddUrl);
            settings.Write("ADDURLPROT", "1");
            return;
        }
        settings.Write("ADDURLPROT", "0");
    } else if (caption == kRemoveUrl) {
        captions.SetCaption(Toggle::UrlProtocol, kAddUrl);
        if (!ResetAssociation(kProgramId, kExtension, programPath)) {
            // The association could not be written afresh: take away what
            // was written, and the file association no longer counts as
            // registered.
            RemoveAssociation(kProgramId, kExtensionKey);
            if (captions.Caption(Toggle::FileAssociation) == kRemoveFileAss) {
                captions.SetCaption(Toggle::FileAssociation, kAddFileAss);
                settings.Write("ADDFILEASS", "1");
            }
        }
        // The mark normally went with the program key; when something kept
        // that key from being deleted, the mark must still go.
        RemoveUrlProtocolMark(kProgramId);
        settings.Write("ADDURLPROT", "1");
    }
}

} // namespace quorvel
