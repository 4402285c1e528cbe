// The options screen beside the main buttons: full screen, music, sound, the country, the
// boss hot key and the language.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/kinds.h"
#include "game/screen.h"

namespace vrumbal {

class GameHost;
class TMyCursor;
class TMyImageSprite;

// The boss hot key as the options screen shows it: "ALT+", "CTRL+" or "SHIFT+" for the
// modifier, "F1".."F12" for the key, "?" where either is still missing.
std::string HotKeyName(std::uint8_t shift, int code);

// Entry numbers of the options screen.
inline constexpr int kOptionsScreenMode = 7;
inline constexpr int kOptionsMusic = 8;
inline constexpr int kOptionsSound = 9;
inline constexpr int kOptionsCountry = 10;
inline constexpr int kOptionsHotKey = 11;
inline constexpr int kOptionsBack = 12;
inline constexpr int kOptionsLanguage = 13;

// The choice after the given one, round again after the last.
std::string NextLanguageChoice(const std::string& choice);

// The options screen beside the main buttons: full screen, music and sound switches, the
// country typed by the player and the capture of a new boss hot key. It lives as long as the
// form, because a capture left running outlasts the screen (GameState's HotKeyCapture and
// CountryEditing say what runs).
class OptionsScreen final : public Screen {
public:
    // The options screen of the form; nothing is shown until Enter.
    explicit OptionsScreen(GameHost& host) : host_(host) {}

    // Shows the screen: its entries, pictures and the country cursor; no edit, no capture.
    void Enter();
    // Removes everything the screen and the menu background showed; ScreenKind becomes 0.
    void Leave();

    // Starts or ends the typing of the country (the cursor blinks meanwhile).
    void ToggleCountryEdit();
    // Starts a capture (the old key kept aside, the key emptied) or ends it (the old key back
    // unless a function key was taken).
    void ToggleHotKeyCapture();
    // A character typed while the country is edited: Backspace or a name character.
    void TypeCountryCharacter(std::uint8_t ch);

    // The blinking country cursor while the screen is shown, else null.
    TMyCursor* CountryCursor() const { return cursor_; }

    // Screen.
    void Frame(int lagCount) override;
    void Activate(int selection) override;
    // Labels, values and the three state pictures; also drawn under a dialog.
    void DrawTexts() override;

private:
    void MoveSelection();
    void EntryHighlighted();
    void ShowStatePicture(int entry, int picture);

    // The settings the options file keeps, to tell on leaving whether any changed.
    struct Settings {
        std::uint8_t fullScreen = 0, musicOn = 0, soundOn = 0, hotKeyShift = 0;
        std::int32_t hotKeyCode = 0;
        std::string country;
        bool operator==(const Settings&) const = default;
    };
    Settings CurrentSettings() const;

    GameHost& host_;                     // the form whose state the screen runs on
    Settings entered_;                   // the settings as the screen was entered
    std::uint8_t savedHotKeyShift_ = 0;  // the hot key as it was when capture began
    std::int32_t savedHotKeyCode_ = 0;
    TMyCursor* cursor_ = nullptr;                // owned by the sprite engine
    TMyImageSprite* countryFrame_ = nullptr;     // owned by the sprite engine
    TMyImageSprite* hotKeyFrame_ = nullptr;      // owned by the sprite engine
    std::array<int, 3> shownState_{-1, -1, -1};  // pictures shown by entries 13..15
};

}  // namespace vrumbal
