#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// A language file replaces the program's texts line by line: the line number alone says which
// text a line is. This table lists them in the translators' order, with the built-in German text
// of each and how its line is applied.

enum class LineWindow : quint8
{
    None, // read where it is used
    Main,
    Settings,
    YesNo,
    Info
};

enum class LineUse : quint8
{
    Unused,       // read and not used
    Text,         // a question, the result line of an abort, a page title: read where used
    Caption,      // the element's caption: label, button, group box, menu item, dialog title
    Hint,         // the element's tooltip (and that of `also`)
    MainCaption,  // the main window's caption, followed by the version
    TitleIfEmpty, // into the title edit only while it is empty
    OfWord,       // between the starter's position and the number of starters
    Heading,      // a column heading of the protocol
    Item,         // an item of a list, and of its twin `also`
    MonitorHint,  // the monitor label's hint; with one screen also the monitor list's only item
    Notice        // the information window's notice, when not blank
};

struct LanguageElement
{
    LineWindow window;
    LineUse use;
    const char *object; // objectName of the element
    const char *also;   // a second element that takes the same text, or nullptr
    int index;          // Heading: the column; Item: the list item
    const char *builtin;
};

inline constexpr int LanguageLinesUsed = 179;
inline constexpr int LanguageLinesStored = 200;

// What the information window says of the program until a language file's line 114 replaces it.
inline constexpr const char *BuiltInNotice =
    "Rittmeter nimmt die Zeit und bewertet Springprüfungen: Countdown, Start und Ziel per Taste "
    "oder Lichtschranke, Hindernisfehler, Strafsekunden und Zeitfehler nach den Richtverfahren A, "
    "C und C fahren, und ein Ergebnisprotokoll mit Rangfolge.";

// Line n is LanguageTable[n - 1].
extern const LanguageElement LanguageTable[LanguageLinesUsed];

// Lines read elsewhere than in the windows.
namespace LanguageLine {
enum : int
{
    MainCaption = 1,
    Of = 18,
    FirstHeading = 51,
    DeleteRowQuestion = 65,
    Yes = 66,
    No = 67,
    QuitQuestion = 104,
    ClearProtocolQuestion = 105,
    DefaultsQuestion = 106,
    Eliminated = 112,
    ProtocolTitle = 113,
    Notice = 114,
    // The live results page's own texts, and the status bar's word on a port it cannot have.
    LivePage = 122,
    LiveLastResult = 123,
    LiveToBeat = 124,
    LiveOffline = 125,
    LiveStarter = 126,
    LivePortFailure = 127,
    // The timing device's and the boards' words: the settings' refusal of a port given two roles,
    // the status bar, and why a device's line was not read (in TimerLine's fault order from
    // Garbage on).
    PortTwice = 139,
    DeviceConnected = 140,
    DeviceGone = 141,
    BoardConnected = 142,
    BoardGone = 143,
    DeviceBadLine = 144,
    FirstLineFault = 145, // Garbage, TooLong, Checksum, UnknownChannel, TimeOutOfRange
    DeviceNone = 150,
    DeviceBadLines = 151,
    // The broker's words in the status bar: the connection, why the broker refused it (CONNACK
    // codes 1 to 5 in order), the runs still to send, messages refused and why (not JSON, too
    // large, topic invalid), and the keyring; then the "/show" page's own words.
    BrokerConnected = 163,
    BrokerRetrying = 164,
    BrokerRefused = 165,
    FirstBrokerRefusal = 166,
    BrokerWaiting = 171,
    BrokerDropped = 172,
    FirstBrokerDropReason = 173,
    PasswordNotStored = 176,
    PasswordNotRead = 177,
    ShowPage = 178,
    ShowArenaOffline = 179,
};
}

// The text in force for line n (1-based): the built-in German text until a language file gives
// the line, then the file's line decoded in the code page of the character set `charSet`; a
// file that starts with a UTF-8 byte-order mark, or whose bytes are valid UTF-8 with characters
// beyond ASCII, reads as UTF-8 whatever the character set.
QString LanguageText(int line, int charSet);
QString LanguageText(int line); // in the character set of the settings

// The longest line a language file may hold: the information window's notice is the longest
// text, a few hundred characters in any language.
inline constexpr int MaxLanguageLineChars = 500;

// Why a language file is not text in the character set `charSet`: a control character other
// than tab, or a line longer than MaxLanguageLineChars, in the lines that would be stored. Empty
// when the file is fit to be read.
QString LanguageFileFault(const QByteArray &fileBytes, int charSet);

// Stores a language file's lines over the ones in force (lines it lacks keep their text) and
// returns how many it has. Lines end with CR LF or LF and are kept verbatim, blanks included;
// lines after the 200th are ignored.
int StoreLanguageLines(const QByteArray &fileBytes);

// Whether a language file was read in this run.
bool LanguageFileRead();

// Back to the built-in texts, as at program start.
void ResetLanguageLines();

// The lines in force, to put back later exactly as they were.
struct StoredLanguageLine
{
    QByteArray bytes;
    bool fromFile = false;
    bool utf8 = false;
};
struct LanguageLinesState
{
    std::array<StoredLanguageLine, LanguageLinesStored + 1> lines; // [0] unused
    bool fileRead = false;
};
LanguageLinesState SavedLanguageLines();
void RestoreLanguageLines(const LanguageLinesState &state);
