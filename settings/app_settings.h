// The program's persistent options: one process-wide object over "Kolvex.ini"
// in the directory the program was started from.
#pragma once

#include <QRect>
#include <QString>

#include <cstdint>

// Section and key names of Kolvex.ini; every reader and writer uses these.
namespace KolvexIni {
inline constexpr const char* kSectionUI = "UI";
inline constexpr const char* kSectionWinPos = "WINPOS";
inline constexpr const char* kLangId = "LANGID";                 // language code, e.g. "ENG"
inline constexpr const char* kMap = "MAP";                       // 0 or 1, see ReadMapType
inline constexpr const char* kMapEnable = "MAP_ENABLE";          // 1 map view shown, 0 hidden
inline constexpr const char* kGSensorEnable = "GSNR_ENABLE";     // 1 graph shown, 0 hidden
inline constexpr const char* kFolder = "Folder";                 // last folder of the open dialog
inline constexpr const char* kSnapshotFolder = "SnapshotFolder"; // folder of the last snapshot
inline constexpr const char* kMapTileUrl0 = "MapTileUrl0"; // tile address template, map type 0
inline constexpr const char* kMapTileUrl1 = "MapTileUrl1"; // tile address template, map type 1
inline constexpr const char* kRouteSpeed = "ROUTE_SPEED";  // 1 the route coloured by speed, 0 not
// 1 the lists go by GPS time (the camera's time corrected by its clock's
// offset where a recording carries GPS time), 0 by the camera's time.
inline constexpr const char* kListByGpsTime = "LIST_BY_GPS_TIME";
// Driving events (see event_settings.h): thresholds in G as decimal text
// ("0.45"; 0 switches the kind off) and minimum durations in milliseconds.
inline constexpr const char* kEventBrakeG = "EventBrakeG";
inline constexpr const char* kEventAccelG = "EventAccelG";
inline constexpr const char* kEventTurnG = "EventTurnG";
inline constexpr const char* kEventImpactG = "EventImpactG";
inline constexpr const char* kEventBrakeMs = "EventBrakeMs";
inline constexpr const char* kEventAccelMs = "EventAccelMs";
inline constexpr const char* kEventTurnMs = "EventTurnMs";
inline constexpr const char* kEventImpactMs = "EventImpactMs";
inline constexpr const char* kLeft = "LEFT";
inline constexpr const char* kTop = "TOP";
inline constexpr const char* kRight = "RIGHT";   // exclusive
inline constexpr const char* kBottom = "BOTTOM"; // exclusive
} // namespace KolvexIni

// The options are read from and written to the file key by key when they are
// needed; only the language and the map type are kept in memory. Reads never
// fail (a missing, unreadable or damaged file gives the defaults) and a write
// that cannot be done returns false and changes nothing on disk.
class CAppSettings {
public:
    // The one instance of the program, created on first use with the current
    // directory of that moment; later changes of directory do not move it.
    static CAppSettings& GetInstance();

    // An object over any settings file; the program uses GetInstance, tests and
    // tools use this to work on a file of their own.
    explicit CAppSettings(const QString& iniPath);

    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    const QString& IniPath() const { return m_strIniPath; }
    int LanguageIndex() const { return m_nLangIndex; }
    std::uint16_t LanguageId() const { return m_wLangId; }
    int MapType() const { return m_nMapType; } // as of the last ReadMapType

    // Reads "UI"/"LANGID"; a code of the language table (exact, case-sensitive)
    // becomes the current language, anything else leaves it as it was.
    // Returns the current language identifier.
    std::uint16_t ReadLanguage();

    // Makes row `index` (0..15) of the language table the current language,
    // switches Qt's own catalogue with it and stores its code. Any other index
    // changes nothing and returns false.
    bool SetLanguage(int index);

    // "UI"/"MAP": 0 or 1 (2 and more give 1, negative or non-numeric give 0).
    int ReadMapType();
    // Makes `mapType` (mapped as ReadMapType maps) the map type in force and
    // writes it to "UI"/"MAP"; returns the write result.
    bool SetMapType(int mapType);

    // "UI"/"Folder", or empty when that path no longer exists.
    QString ReadLastFolder() const;

    // "UI"/"MapTileUrl0" or "MapTileUrl1": the tile address template the user
    // set for that map type, or empty when none is set (or the type is unknown).
    QString ReadMapTileUrl(int mapType) const;

    // The saved window rectangle made usable on a screen whose available area
    // is `screen`: at least 800 x 560 unless the screen is smaller, and wholly
    // inside the screen. Always returns true.
    bool ReadWindowRect(QRect& rect, const QRect& screen) const;

    // Signed decimal integers: a missing key or empty value gives `defaultValue`,
    // text without leading digits gives 0.
    int ReadInt(const char* section, const char* key, int defaultValue) const;
    bool WriteInt(const char* section, const char* key, int value);

    QString ReadString(const char* section, const char* key,
                       const QString& defaultValue = QString()) const;
    bool WriteString(const char* section, const char* key, const QString& value);

private:
    QString m_strIniPath;
    int m_nLangIndex = 0;
    std::uint16_t m_wLangId = 0x0409;
    int m_nMapType = 0;
};
