#pragma once
// What the commands of the feature folders need of the main window, without
// the window itself: the captions that hold the toggles' state, the text
// box's colours and read-only state, and the settings store. The main window
// implements them; each command is handed only the parts it uses.
#include <cstdint>
#include <string>

namespace quorvel {

// The head of every main-window caption; the program identifier used with
// the shell is the same word.
inline constexpr char kProductTitle[] = "Quorvel";

// The menu items whose captions say which way their command switches next.
enum class Toggle { OnTop, MakeWrite, FileAssociation, UrlProtocol };

class ToggleCaptions {
public:
    // The caption as the command compares it (without its shortcut).
    virtual std::string Caption(Toggle toggle) const = 0;
    virtual void SetCaption(Toggle toggle, const std::string& caption) = 0;

protected:
    ~ToggleCaptions() = default;
};

class TextBoxState {
public:
    // Colours as stored: 0x00BBGGRR, or a system colour (0x80000000 + index).
    virtual std::uint32_t ForeColor() const = 0;
    virtual std::uint32_t BackColor() const = 0;
    // False when the value is no colour; the colour stays then.
    virtual bool SetForeColor(std::uint32_t color) = 0;
    virtual bool SetBackColor(std::uint32_t color) = 0;
    // Locked: the text is read-only and Save is disabled.
    virtual void SetLocked(bool locked) = 0;

protected:
    ~TextBoxState() = default;
};

class SettingsWriter {
public:
    virtual ~SettingsWriter() = default;
    // Stores one key of the settings file at once; a failure is not
    // reported (the window keeps its new state).
    virtual void Write(const std::string& key, const std::string& value) = 0;
};

} // namespace quorvel
