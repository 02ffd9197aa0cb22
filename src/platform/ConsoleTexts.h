#pragma once

// The game's own fixed console lines. Players' logs, level designers' habits and the tests
// know these word for word, so they are written here once and nowhere else; lines that
// carry a file name or a reason are composed where they happen.
namespace ConsoleText {

// ---- window and loop -------------------------------------------------------------
inline constexpr const char* FULL_SCREEN_ON = "true case";   // the display-mode toggle entered full screen
inline constexpr const char* FULL_SCREEN_OFF = "false case"; // ... and left it for the window
inline constexpr const char* WINDOW_SHOWN = "Exist";         // start-up: the window is shown
inline constexpr const char* WINDOW_HIDDEN = "DNE";          // start-up: the window stays hidden
inline constexpr const char* SIMULATION_STARTING = "Simulation Starting...";
inline constexpr const char* CREATE_WINDOW_FAILED = "Call to CreateWindow failed!"; // message box text
inline constexpr const char* CREATE_WINDOW_CAPTION = "Win32 Guided Tour";           // ... and its caption

// ---- pictures, text and shaders ---------------------------------------------------
inline constexpr const char* FILE_CANNOT_OPEN = "FILE CANNOT OPEN!";
inline constexpr const char* BMP_WRONG_FILE = "WRONG FILE!";
inline constexpr const char* BMP_WRONG_TYPE = "WRONG FILE TYPE!";
inline constexpr const char* FREETYPE_NO_LIBRARY = "ERROR::FREETYPE: Could not init FreeType Library";
inline constexpr const char* FREETYPE_NO_FONT = "ERROR::FREETYPE: Failed to load font";
inline constexpr const char* FREETYPE_NO_GLYPH = "ERROR::FREETYTPE: Failed to load Glyph";
inline constexpr const char* PROGRAM_NOT_LINKED = "SHADER PROGRAM DID NOT LINK!";

// ---- level files ------------------------------------------------------------------
inline constexpr const char* UNSERIALIZING = "Unserializing..";
inline constexpr const char* UNSERIALIZED = "Unserialized"; // followed by " N objects"
inline constexpr const char* SERIALIZED = "Serialized";     // followed by " N objects"

// ---- audio ------------------------------------------------------------------------
inline constexpr const char* AUDIO_NOT_CREATED = "Error: Audio cannot be created!";
inline constexpr const char* AUDIO_NOT_INITIALIZED = "Error: Audio cannot be initialized!";
inline constexpr const char* SOUND_LIST_CANNOT_OPEN = "Error: Invalid file name. File cannot be opened.";
inline constexpr const char* SOUND_LIST_EMPTY_LINE = "Error: The line is empty.";
inline constexpr const char* SOUND_FILE_INVALID = "Error: Sound file name invalid or cannot be found";

} // namespace ConsoleText
