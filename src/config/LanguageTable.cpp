#include "LanguageTable.h"

#include "Charsets.h"
#include "Settings.h"
#include "TextCodec.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {
using W = LineWindow;
using U = LineUse;

constexpr LanguageElement unused{W::None, U::Unused, nullptr, nullptr, 0, ""};

constexpr LanguageElement main(U use, const char *object, const char *builtin,
                               const char *also = nullptr)
{
    return {W::Main, use, object, also, 0, builtin};
}
constexpr LanguageElement settings(U use, const char *object, const char *builtin,
                                   const char *also = nullptr, int index = 0)
{
    return {W::Settings, use, object, also, index, builtin};
}
constexpr LanguageElement heading(int column, const char *builtin)
{
    return {W::Main, U::Heading, "SortGrid1", nullptr, column, builtin};
}
constexpr LanguageElement text(const char *builtin)
{
    return {W::None, U::Text, nullptr, nullptr, 0, builtin};
}

LanguageLinesState &inForce()
{
    static LanguageLinesState state;
    return state;
}

// The lines of a file that are stored, without their line ends, and whether they read as UTF-8:
// with a byte-order mark, or when the bytes are valid UTF-8 and not plain ASCII (a file in a
// single-byte code page practically never is).
struct FileLines
{
    QList<QByteArray> lines;
    int count = 0; // all lines, stored or not
    bool utf8 = false;
};

FileLines splitLanguageFile(const QByteArray &fileBytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    FileLines out;
    QByteArrayView bytes(fileBytes);
    if (bytes.startsWith(bom)) {
        out.utf8 = true;
        bytes = bytes.sliced(bom.size());
    } else {
        const bool ascii =
            std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // Decodes only when taken as a string.
        [[maybe_unused]] const QString decoded = utf8.decode(bytes);
        out.utf8 = !ascii && !utf8.hasError();
    }
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', from);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(from, end - from);
        if (line.endsWith('\r'))
            line.chop(1);
        from = end + 1;
        if (++out.count <= LanguageLinesStored)
            out.lines << line.toByteArray();
    }
    return out;
}

QString decodeLine(const QByteArray &bytes, bool utf8, int charSet)
{
    return utf8 ? QString::fromUtf8(bytes) : decodeCodePage(bytes, charsetCodePage(charSet));
}
} // namespace

const LanguageElement LanguageTable[LanguageLinesUsed] = {
    main(U::MainCaption, nullptr, "Rittmeter / Derizudaroza"),
    main(U::Hint, "bHelp", "[F1] Hilfe"),
    main(U::Hint, "bCFG", "[F2] Einstellungen"),
    main(U::Hint, "bInfo", "[F3] Information"),
    main(U::Caption, "LabFText1", "Titel:"),
    main(U::TitleIfEmpty, "eFText1", "Klassisches"),
    main(U::TitleIfEmpty, "eFText2", "Reitsport Turnier"),
    main(U::Caption, "rbModeC", "C"),
    main(U::Caption, "rbModeCfahren", "C fahren"),
    main(U::Hint, "sbLoad", "[Strg+O] Starterliste oder gespeichertes Protokoll laden"),
    main(U::Hint, "Image2", "StNr.", "cbStNr"),
    main(U::Caption, "Label2", "Pferd:"),
    main(U::Hint, "Image3", "KoNr.", "cbKNr"),
    main(U::Caption, "Label12", "Reiter:"),
    main(U::Caption, "Label6", "Verein:"),
    main(U::Caption, "bNoStart", "Absage"),
    main(U::Hint, "bNoStart", "Nicht gestartet"),
    main(U::OfWord, "LabelBase", "von"),
    main(U::Caption, "bTimer", "TIMER"),
    main(U::Hint, "bTimer", "[F4] Countdown Timer"),
    main(U::Caption, "LabEliminieren", "Eliminieren"),
    main(U::Hint, "ImageLSstart", "[F11] Start-LS EIN/AUS"),
    main(U::Caption, "bSTART", "START"),
    main(U::Hint, "bSTART", "[F5] START"),
    main(U::Hint, "sbS1", "Glockengong"),
    main(U::Hint, "bHF", "[F7] Anhalten / Fortsetzen"),
    main(U::Hint, "sbS2", "Pause"),
    main(U::Hint, "sbS3", "Weiter"),
    main(U::Hint, "ImageLSstop", "[F12] Ziel-LS EIN/AUS"),
    main(U::Caption, "bSTOP", "STOPP"),
    main(U::Hint, "bSTOP", "[F9] STOPP (Handzeitnahme)"),
    main(U::Caption, "Label9", "Erlaubte Zeit:"),
    main(U::Caption, "LabelSekInPachka", "Zeitfehler:"),
    main(U::Caption, "Label10", "Straf-Sek.:"),
    main(U::Caption, "Label1", "Fehler:"),
    main(U::Caption, "Lab_sek", "Sek."),
    main(U::Caption, "Label11", "LS-Kontakt:"),
    main(U::Hint, "sbSave", "[Strg+S] Protokoll speichern als"),
    main(U::Hint, "sbPrint", "[Strg+P] Ausdrucken"),
    main(U::Hint, "sbWord", "In Word öffnen"),
    main(U::Hint, "sbExcel", "Export in Excel"),
    main(U::Hint, "sbHTML", "Als Webseite"),
    main(U::Hint, "sbCLS", "Protokoll löschen"),
    main(U::Hint, "bMon2", "[Strg+T] TV-Modus"),
    main(U::Caption, "bAbbruch", "ELIMINIEREN"),
    main(U::Hint, "bAbbruch", "[Strg+X] Eliminieren"),
    main(U::Caption, "bEINTRAGEN", "EINTRAGEN"),
    main(U::Hint, "bEINTRAGEN", "[Strg+V] In das Protokoll"),
    main(U::Caption, "bRESET", "NEXT"),
    main(U::Hint, "bRESET", "[Strg+N] Nächster und Nullstellung"),
    heading(0, "St.Nr"),
    heading(1, "KoNr."),
    heading(2, "Pferd/Pony"),
    heading(3, "Reitername"),
    heading(4, "Verein"),
    heading(5, "R.-Zeit"),
    heading(6, "ZF"),
    heading(7, "Straf"),
    heading(8, "Fehler"),
    heading(9, "Punkte"),
    heading(10, "Zeit"),
    heading(11, "Rang"),
    main(U::Caption, "Strokadelete", "Zeile entfernen"),
    main(U::Caption, "Copy1", "Alles kopieren"),
    text("Zeile löschen?"),
    {W::YesNo, U::Caption, "OKBtn", nullptr, 0, "Ja"},
    {W::YesNo, U::Caption, "CancelBtn", nullptr, 0, "Nein"},
    unused,
    settings(U::Caption, "Label1", "Sprache:"),
    settings(U::Caption, nullptr, "Einstellungen"),
    settings(U::Caption, "gbLS", "Lichtschranke(n)"),
    settings(U::Caption, "LabelAlgo", "Algorithmus:"),
    settings(U::Caption, "Label19", "START:"),
    settings(U::Caption, "Label20", "ZIEL:"),
    settings(U::Item, "cbPort1", "Keine", "cbPort2", 0),
    settings(U::Item, "cbAlg1", "ON", "cbAlg2", 0),
    settings(U::Item, "cbAlg1", "OFF", "cbAlg2", 1),
    settings(U::Caption, "LabAutoFrei", "Automatische Freigabe"),
    settings(U::Caption, "Label2", "Genauigkeit:"),
    settings(U::Caption, "Label7", "Timer:"),
    settings(U::Caption, "Label10", "Erlaubte Zeit:"),
    settings(U::Caption, "Label12", "Zeitfehler:"),
    settings(U::Caption, "Label18", "Pro Sekunde(n):"),
    settings(U::Caption, "gbFarbe", "Farben"),
    settings(U::Caption, "Label4", "Display:"),
    settings(U::Caption, "Label17", "Straf:"),
    settings(U::Caption, "Label5", "Timer:"),
    settings(U::Caption, "Label16", "Zeit:"),
    settings(U::Caption, "Label3", "Ziffern:"),
    settings(U::MonitorHint, "LabMonitor", "nicht angeschlossen", "cbMonitor"),
    settings(U::Caption, "LabMonitor", "2. Monitor / TV:"),
    settings(U::Caption, "gbSound", "Gong"),
    settings(U::Caption, "Label11", "Timer:"),
    settings(U::Caption, "Label14", "Anhalten:"),
    unused,
    settings(U::Caption, "bDefault", "Standard Einstellungen und neu starten"),
    unused,
    unused,
    unused,
    unused,
    unused,
    unused,
    settings(U::Caption, "CancelBtn", "Abbrechen"),
    text("Beenden?"),
    text("Zeitenprotokoll löschen?"),
    text("Möchten Sie Standard Einstellungen verwenden?"),
    main(U::Hint, "rbModeA", "Richtverfahren A"),
    main(U::Hint, "rbModeC", "Richtverfahren C"),
    main(U::Hint, "rbModeCfahren", "Richtverfahren C fahren"),
    main(U::Caption, "bAus", "Aus"),
    main(U::Hint, "bAus", "Ausgestiegen"),
    text("ELIMINIERT"),
    text("Zeitenprotokoll"),
    {W::Info, U::Notice, "Memo1", nullptr, 0, ""},
    unused,
    settings(U::Hint, "seBorder", "Borte des Display"),
    settings(U::Caption, "gbLive", "Live-Ergebnisse"),
    settings(U::Caption, "cbLiveWeb", "Im Netzwerk anzeigen"),
    settings(U::Caption, "LabLivePort", "Port:"),
    settings(U::Caption, "LabLiveHost", "Adresse:"),
    settings(U::Item, "cbLiveHost", "Alle Netzwerke", nullptr, 0),
    text("Live-Ergebnisse"),
    text("Letztes Ergebnis"),
    text("Zu schlagen"),
    text("Verbindung unterbrochen"),
    text("Am Start"),
    text("Live-Ergebnisse: Port %1 nicht verfügbar (%2)"),
    settings(U::Caption, "gbDevices", "Zeitmessgerät und Anzeigetafeln"),
    settings(U::Caption, "LabDevPort", "Zeitmessgerät:"),
    settings(U::Caption, "LabDevType", "Gerät:"),
    settings(U::Caption, "LabDevBaud", "Baud:"),
    settings(U::Caption, "LabBoard1", "Tafel 1:"),
    settings(U::Caption, "LabBoard2", "Tafel 2:"),
    settings(U::Item, "cbBoard1Shows", "Zeit", "cbBoard2Shows", 0),
    settings(U::Item, "cbBoard1Shows", "Fehler", "cbBoard2Shows", 1),
    settings(U::Caption, "cbBoardCountdown", "Countdown auf den Tafeln"),
    settings(U::Item, "cbDevPort", "Keines", nullptr, 0),
    settings(U::Hint, "cbDevPort", "Gerätedatei, z. B. /dev/ttyUSB0"),
    text("%1 ist schon für %2 gewählt. Ein Anschluss kann nur eine Aufgabe haben."),
    text("Zeitmessgerät: %1"),
    text("Zeitmessgerät %1 getrennt (%2)"),
    text("Tafel %1: %2"),
    text("Tafel %1 %2 getrennt (%3)"),
    text("Zeitmessgerät: Zeile nicht gelesen (%1): %2"),
    text("unlesbar"),
    text("zu lang"),
    text("Prüfsumme falsch"),
    text("unbekannter Kanal"),
    text("Uhrzeit ungültig"),
    text("keines"),
    text("%1 Zeilen nicht gelesen"),
    settings(U::Caption, "cbBroker", "An Broker senden"),
    settings(U::Caption, "LabBrokerHost", "Broker:"),
    settings(U::Caption, "LabBrokerPort", "Port:"),
    settings(U::Caption, "cbBrokerTls", "TLS"),
    settings(U::Caption, "LabBrokerCa", "CA-Datei:"),
    settings(U::Hint, "edBrokerCa", "Leer: die Zertifikate des Systems"),
    settings(U::Caption, "LabBrokerUser", "Benutzer:"),
    settings(U::Caption, "LabBrokerPassword", "Passwort:"),
    settings(U::Caption, "LabShow", "Turnier:"),
    settings(U::Caption, "LabArena", "Platz:"),
    settings(U::Caption, "cbShowAll", "Alle Plätze zeigen"),
    text("Broker: verbunden (%1)"),
    text("Broker: getrennt, neuer Versuch (%1)"),
    text("Broker: abgelehnt (%1)"),
    text("Protokollversion nicht unterstützt"),
    text("Kennung abgelehnt"),
    text("Broker nicht verfügbar"),
    text("Benutzername oder Passwort falsch"),
    text("nicht berechtigt"),
    text("%1 Ritte warten auf den Broker"),
    text("%1 Meldungen vom Broker verworfen, zuletzt: %2"),
    text("kein JSON"),
    text("zu groß"),
    text("Thema ungültig"),
    text("Passwort nicht im Schlüsselbund gespeichert (%1)"),
    text("Passwort nicht aus dem Schlüsselbund gelesen (%1)"),
    text("Alle Plätze"),
    text("Platz nicht verbunden"),
};

QString LanguageText(int line, int charSet)
{
    if (line < 1 || line > LanguageLinesStored)
        return {};
    const StoredLanguageLine &stored = inForce().lines[size_t(line)];
    if (!stored.fromFile)
        return line <= LanguageLinesUsed ? QString::fromUtf8(LanguageTable[line - 1].builtin)
                                         : QString();
    return decodeLine(stored.bytes, stored.utf8, charSet);
}

QString LanguageText(int line)
{
    return LanguageText(line, Settings.CharSet);
}

QString LanguageFileFault(const QByteArray &fileBytes, int charSet)
{
    const FileLines file = splitLanguageFile(fileBytes);
    for (int n = 1; n <= file.lines.size(); ++n) {
        const QString text = decodeLine(file.lines.at(n - 1), file.utf8, charSet);
        if (text.size() > MaxLanguageLineChars)
            return QStringLiteral("Zeile %1 ist länger als %2 Zeichen.")
                .arg(n)
                .arg(MaxLanguageLineChars);
        const bool control = std::any_of(text.begin(), text.end(), [](QChar c) {
            return c != QLatin1Char('\t') && c.category() == QChar::Other_Control;
        });
        if (control)
            return QStringLiteral("Zeile %1 enthält Steuerzeichen: die Datei ist kein Text im "
                                  "Zeichensatz %2.")
                .arg(n)
                .arg(file.utf8
                         ? QStringLiteral("UTF-8")
                         : QString::fromLatin1(
                               CharsetTable[charSet >= 0 && charSet < 16 ? charSet : 0].name));
    }
    return {};
}

int StoreLanguageLines(const QByteArray &fileBytes)
{
    const FileLines file = splitLanguageFile(fileBytes);
    for (int n = 1; n <= file.lines.size(); ++n)
        inForce().lines[size_t(n)] = {file.lines.at(n - 1), true, file.utf8};
    inForce().fileRead = true;
    return file.count;
}

bool LanguageFileRead()
{
    return inForce().fileRead;
}

void ResetLanguageLines()
{
    inForce() = LanguageLinesState{};
}

LanguageLinesState SavedLanguageLines()
{
    return inForce();
}

void RestoreLanguageLines(const LanguageLinesState &state)
{
    inForce() = state;
}
