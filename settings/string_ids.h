// The ids of the texts in resources/strings/<CODE>.txt, by what they say.
// Pass them to LoadLangString.
#pragma once

namespace StringId {
enum : unsigned int {
    AboutCaption = 101,         // "&About KOLVEX..."
    PlayerError = 102,          // "Media player encountered an error."
    SocketsFailed = 103,        // "Windows sockets initialization failed."
    OpenDialogCaption = 104,    // "Select a media"
    MapType0 = 105,             // "Yandex Map"
    MapType1 = 106,             // "China Map"
    ButtonOk = 107,             // "OK"
    ButtonCancel = 108,         // "Cancel"
    ButtonApply = 109,          // "Apply"
    ConfigCaption = 110,        // "Config"
    SourceDisk = 111,           // "Disk"
    SourceFolder = 112,         // "Folder"
    SourceFile = 113,           // "File"
    SelectLanguage = 114,       // "Select language"
    SelectMap = 115,            // "Select map"
    ColumnGroup = 116,          // "Group"
    ColumnResolution = 117,     // "Resolution"
    ColumnStartTime = 118,      // "Start Time"
    ColumnLength = 119,         // "Length"
    ColumnFileSize = 120,       // "File Size"
    ColumnId = 121,             // "ID"
    ColumnFileName = 122,       // "File Name"
    ColumnEndTime = 123,        // "End Time"
    ColumnFolder = 124,         // "Folder"
    KmlSaved = 125,             // "Save KML file: %s OK."
    KmlFailed = 126,            // "Save KML file:%s Failed."
    KmlCaption = 127,           // "Save KML"
    DeleteCaption = 128,        // "Delete Files"
    DeleteQuestion = 129,       // "Are you sure to delete the checked files?"
    SelectFolder = 130,         // "Select a folder"
    WarningCaption = 131,       // "Warning"
    FolderMissing = 132,        // "Folder is not exist."
    VideoComponentFailed = 133, // "Loading video component failed. ..."
    TipPlayPause = 134,         // "Play/Pause video"
    NoFilesSelected = 135,      // "No selected files. ..."
    NoFilesInList = 136,        // "No files in list."
    TipSmallWindow = 137,       // "Set Small Window Size."
    TipMediumWindow = 138,      // "Set Medium Window Size."
    TipLargeWindow = 139,       // "Set Large Window Size."
    OverwriteCaption = 140,     // "Confirm to overwrite the file."
    OverwriteQuestion = 141,    // "File \"%s\" is already exist. ..."
    NoSelectionCaption = 144,   // "Confirm file selection"
    EmptyListCaption = 145,     // "OK"
    TipOpen = 179,              // "Open files"
    TipSnapshot = 180,          // "Snapshot"
    TipSaveAs = 181,            // "Save as"
    TipDelete = 182,            // "Del files"
    TipConfig = 183,            // "Configuration"
    TipSlower = 184,            // "Slower speed"
    TipStop = 185,              // "Stop"
    TipFaster = 186,            // "Faster speed"
    TipVolume = 187,            // "Volume"
    TipMute = 188,              // "Volume On/Off"
    TipAutoPlay = 189,          // "Auto Play next file."
    TipRotate = 190,            // "Rotate 180"
    TipSaveKml = 191,           // "Save GPS data to KML file"
    TipMap = 192,               // "Turn On/Off Map"
    TipGSensor = 193,           // "Turn On/Off G-Sensor curve"
    TipUnlock = 194,            // "Unlock files"
    TipClose = 195,             // "Close AP"
    TipMaximize = 196,          // "Max window"
    TipMinimize = 197,          // "Min window"
    TipAbout = 198,             // "About"
    TipSpeedUnit = 199,         // "Change Speed Unit KPH/MPH."
    // After Delete, Unlock or Save as, under WarningCaption; each %s is a
    // number of files (FileOperationReport).
    FilesChangedSinceLoad = 200, // "Files left untouched because they changed ...: %s. ..."
    CopyTargetIsListed = 201,    // "Files not copied because the target is ... in the list: %s."
    CopyIncomplete = 202,        // "The copy is incomplete (...). Files not copied: %s."
    CopyTargetLost = 203,        // "The target folder was removed or replaced ...: %s."
    // The keyboard panel (F1): its title and one text per line of keys.
    KeysTitle = 204,       // "Keyboard shortcuts"
    KeysPlayPause = 205,   // "Play / pause"
    KeysSeekSeconds = 206, // "Back / forward 5 seconds"
    KeysSeekMinute = 207,  // "Back / forward 1 minute"
    KeysVolume = 208,      // "Volume up / down"
    KeysMute = 209,        // "Sound on / off"
    KeysFullScreen = 210,  // "Full screen on / off"
    KeysLeaveFull = 211,   // "Leave full screen"
    KeysRecording = 212,   // "Previous / next recording"
    KeysRate = 213,        // "Faster / slower"
    KeysOpen = 214,        // "Open recordings"
    KeysHelp = 215,        // "Show this list"
    RouteBySpeed = 216,    // "Colour the route by speed" (configuration dialog)
    TipSaveGpx = 217,      // "Save GPS data to GPX file" (the KML button's menu)
    GpxSaved = 218,        // "Save GPX file: %s OK."
    GpxFailed = 219,       // "Save GPX file: %s Failed."
    GpxCaption = 220,      // "Save GPX"
    // Driving events, by kind, as the map's marks name them.
    EventBraking = 221,      // "Hard braking"
    EventAcceleration = 222, // "Hard acceleration"
    EventTurn = 223,         // "Sharp turn"
    EventImpact = 224,       // "Impact"
    // Trip figures (the group list's tips).
    TripDistance = 225, // "Distance"
    TripDuration = 226, // "Duration"
    TripMoving = 227,   // "Moving time"
    TripTopSpeed = 228, // "Top speed"
    TripAverage = 229,  // "Average speed"
    TripEvents = 230,   // "Events"
    TripTitle = 231,    // "Trip figures" (the T panel and its key)
    // A snapshot that could not be written, under TipSnapshot (180).
    SnapshotFailed = 245, // "Save snapshot: %s Failed."
    // What Delete, Unlock and Save as did not do, under the operation's
    // caption: per file (its name, then a reason) where there are few, per
    // reason (a number of files, then the reason) where there are many.
    DeleteFileFailed = 250,  // "%s was not deleted: %s"
    UnlockFileFailed = 251,  // "%s was not unlocked: %s"
    CopyFileFailed = 252,    // "%s was not copied: %s"
    DeleteFilesFailed = 253, // "Files not deleted (%s): %s"
    UnlockFilesFailed = 254, // "Files not unlocked (%s): %s"
    CopyFilesFailed = 255,   // "Files not copied (%s): %s"
    // The reasons.
    ReasonVanished = 256,       // "the file is no longer there"
    ReasonReplaced = 257,       // "replaced after the list was loaded"
    ReasonNameTaken = 258,      // "a file named %s already exists"
    ReasonTargetIsListed = 259, // "the target is itself a recording in the list"
    ReasonKept = 260,           // "the existing file was kept"
    ReasonTargetLost = 261,     // "the target folder was removed or replaced"
    ReasonDiskFull = 262,       // "the disk is full"
    ReasonReadOnly = 263,       // "the disk or folder is read-only"
    ReasonNoPermission = 264,   // "permission denied"
    ReasonSystem = 265,         // "the system refused it (%s)": the system's own words
    CopyDone = 266,             // "%s of %s files were copied to %s."
    CopyCancelled = 267,        // "The copy was cancelled."
    DeleteCount = 268,          // "This deletes %s recordings: %s files, ..." (under 129)
    CopyProgressFiles = 269,    // "%s of %s files" (the status board)
    CopyProgressLeft = 270,     // "%s left" (a time, the status board)
    NothingPlayable = 271,      // "Nothing playable was found in %s. Files that could not ..."
    LibraryTried = 272,         // "Library file tried: %s. ... KOLVEX_LIBVLC." (under 133)
    SnapshotUnavailable = 273,  // "Snapshots are unavailable: ..."
    ReasonNewNameTaken = 274,   // "a file of the new name already exists" (per reason)
    KeysSeekStart = 275,        // "Back to the start" (the keyboard panel's Home)
};
} // namespace StringId
