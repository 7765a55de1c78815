// CKolvexDlg: the program's only window. A frameless, skinned dialog that
// owns both players, the recording library, the map view and every control;
// it lays them out itself, cuts its own shape and offers its own small,
// medium, large, maximised, minimised and video full-screen states.
#pragma once

#include "full_screen_controls.h"
#include "playback_controller.h"

#include "controls/gdip_button.h"
#include "controls/gsensor_ctrl.h"
#include "controls/my_slider_control.h"
#include "controls/png_compass_static.h"
#include "controls/png_static.h"
#include "controls/speed_label_static.h"
#include "controls/status_board_static.h"
#include "controls/tavlo_tool_tip_ctrl.h"
#include "controls/video_slider.h"
#include "controls/video_static.h"
#include "controls/video_static_bg.h"
#include "library/recording_manager.h"
#include "lists/file_list_ctrl.h"
#include "lists/group_list_ctrl.h"
#include "playback/vlc_player.h"

#include <QAction>
#include <QBasicTimer>
#include <QDialog>
#include <QIcon>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace kolvex {

// "Hard braking 00:07.6, 0.52 G": an event's kind in the current language,
// its time in the recording and its peak.
QString DrivingEventLabel(const DrivingEvent& event);
// "Distance: 1.23 km", "Duration: 0:20", ... one line each, in the current
// language: the lists' tips and the trip panel.
QString TripFiguresText(const TripFigures& figures);

class CCopySession;
class CHtmlMapDlg;
class CScreenSaverInhibitor;
class MapViewLink;

// Timers of the window, by their ids.
enum WindowTimer : int {
    TIMER_KEY_NUDGE = 100,     // one shot, 800 ms after full screen was switched on
    TIMER_DEFERRED_OPEN = 105, // every 100 ms: the deferred open
    TIMER_OPEN_GUARD = 106,
};

// Commands: the ids of the controls whose click they are.
enum WindowCommand : int {
    IDC_MAXIMIZE = 4,
    IDC_OPEN = 1001,
    IDC_SAVE_AS = 1005,
    IDC_SNAPSHOT = 1006,
    IDC_DELETE = 1013,
    IDC_CONFIG = 1014,
    IDC_PLAY = 1015,
    IDC_STOP = 1016,
    IDC_FAST = 1017,
    IDC_SLOW = 1018,
    IDC_AUTO_NEXT = 1021,
    IDC_ROTATE = 1022,
    IDC_KML = 1023,
    IDC_MAP = 1024,
    IDC_GSENSOR = 1025,
    IDC_UNLOCK = 1026,
    IDC_MINIMIZE = 1044,
    IDC_CLOSE = 1045,
    IDC_MUTE = 1046,
    IDC_SMALL = 1052,
    IDC_MEDIUM = 1059,
    IDC_LARGE = 1060,
    ID_APP_ABOUT = 57670,
};

class CKolvexDlg : public QDialog, public IMainWindowLink {
    Q_OBJECT
public:
    struct Options {
        bool createMap = true; // the web map view (tests of the layout go without)
        // The libVLC library file both players load; empty: the file named
        // by KOLVEX_LIBVLC, else the system's libVLC.
        QString vlcLibrary;
    };

    CKolvexDlg();
    explicit CKolvexDlg(const Options& options);
    ~CKolvexDlg() override;

    // Runs once, before the window is first shown.
    bool OnInitDialog();

    // Layout (all in client pixels).
    void LayoutControls(int width, int height);
    void FitVideoSurfaces();
    void ShowFullScreenControls(bool show);
    int VideoUnderCursor();
    // The window's shape for a client size: rounded corners, the top-left
    // one with radius 30; the whole rectangle in full screen.
    QRegion WindowShape(int width, int height) const;

    // Commands of the buttons and the window menu.
    void OnCommand(int id);
    void OnSmallWindow();
    void OnMediumWindow();
    void OnLargeWindow();
    void OnMaximizeRestore();
    void OnMinimize();
    // Full screen of the video under the cursor (a double-click), or back.
    void OnToggleFullScreen();
    // Full screen of m_nFullScreenVideo, or back.
    void SwitchFullScreen();
    void OnRestoreControls() { ShowFullScreenControls(true); }
    // The dialogs of the window (kolvex_dlg_dialogs.cpp).
    void OnAbout();
    void OnOpen();
    void OnConfig();
    void OnLanguageChanged();
    void OnMapChanged();
    // Opens what the open dialog chose: a disk (its mount point), a folder
    // or one file (kolvex_dlg_open.cpp).
    void OpenSource(int source, const QString& path);

    // Transport (kolvex_dlg_playback.cpp).
    void OnPlayPause();
    void OnStop();
    void OnChangeRate(int step);
    void OnSeekChanged();
    void OnVolumeChanged();
    void OnMute();
    void OnSnapshot();
    void ShowFrontSurface();
    void ShowRearSurface();
    void ShowFrontIdle();
    void ShowRearIdle();
    // The instruments, the graph's cursor and the car at `timeMs` of the
    // current recording.
    void ShowPosition(int64_t timeMs);
    // The time read-out by the position slider (and the full-screen
    // controls'): `timeMs` of `lengthMs`, with the camera's time of day;
    // a negative length clears it.
    void ShowTimes(int64_t timeMs, int64_t lengthMs);
    // The current recording's start on the camera's clock, -1 when unknown.
    int64_t CurrentCameraStart() const;

    // Commands on the ticked groups' files and the track export
    // (kolvex_dlg_files.cpp).
    void OnDelete();
    // After the list changed: the loaded recording keeps its row, or, when
    // it is gone, nothing of it stays on the instruments.
    void FollowLoadedRecording();
    void OnSaveAs();
    void OnUnlock();
    void OnKml();
    // The current recording's track as GPX (the KML button's menu).
    void OnGpx();
    // The KML button's menu (a right-click on it): KML or GPX.
    void ShowExportMenu(const QPoint& globalPos);
    // Runs the menu; tests choose instead.
    virtual QAction* ExecExportMenu(QMenu& menu, const QPoint& globalPos);
    // While Save as copies (the window answers meanwhile): the commands
    // that would change the card or the list wait for it.
    bool CopyRunning() const;
    // Stops the copy inside the file it is copying, as its Cancel button.
    void CancelCopy();
    // After a load that listed nothing: says that nothing playable was found
    // at `path` and that `unreadable` files could not be read (none: silent).
    void SayNothingPlayable(const QString& path, int unreadable);
    void OnMapSwitch();
    void OnGSensorSwitch();
    // The folder the save-as command copies to; the folder browser asks.
    virtual QString ChooseSaveFolder();
    // Where the snapshot goes ("" when cancelled); the save dialog asks.
    virtual QString ChooseSnapshotPath();

    // Playing through the recordings (kolvex_dlg_open.cpp).
    enum class PlayStart { Deferred, List, Next, BackToFirst, Disk, SingleFile };
    void PlayRecording(int index, PlayStart start);
    void OpenRearRecording(const QString& frontPath);
    void OnOpenGroup(int group);
    void OnOpenFile(int row);
    // What the window does with the controller's reports: the end of the
    // front recording with auto play next on (the next recording, or the
    // first one held at its start), the ended recording held at its start,
    // the front player's time, state and error.
    void PlayNextAfterEnd();
    void OnHeldAtStart();
    void OnPlayerTime(int64_t timeMs);
    void OnPlayerState(int state);
    void OnPlayerError(int code);
    void StartOpenGuard();
    void OnDeferredOpenTick();
    // The cancel command: stops the front player and stores the window
    // position, without closing.
    void OnCancel();

    // Keys beyond the dialog's own and dropped recordings
    // (kolvex_dlg_keys.cpp). HandleShortcut returns whether the key was one.
    bool HandleShortcut(QKeyEvent* event);
    // Space is play/pause wherever the focus is in this window (a button,
    // a list, the map), except in a field that takes text.
    bool IsPlayPauseKey(QObject* receiver, const QKeyEvent* event) const;
    // In full screen: the mouse at the bottom of the screen calls the
    // controls (m_fullScreenControls).
    void OnFullScreenMouseMove(QObject* receiver, const QMouseEvent* event);
    // Moves the pending seek by `deltaMs` from where the picture is (or the
    // pending target), within the recording.
    void SeekBy(int64_t deltaMs);
    // The pending seek to `timeMs`, within the recording (Home: its start).
    void SeekTo(int64_t timeMs);
    void StepVolume(int delta);
    // Plays the recording `step` rows away in the file list, as its
    // double-click does.
    void PlayNeighbour(int step);
    // Full screen of the front video, or back from full screen.
    void ToggleFrontFullScreen();
    void ShowShortcutPanel();
    // The trip figures of the current recording and its group (T).
    void ShowTripPanel();
    void ShowInfoPanel(QWidget* panel);
    // Opens a card's root, a folder or a recording as the open dialog's
    // sources do; false (with a line on stderr) when nothing is there.
    bool OpenPath(const QString& path);

    // The current recording's driving events on the slider, the graph and
    // the map (kolvex_dlg_events.cpp).
    void ShowDrivingEvents();
    // The trip figures as the tips of the group and file lists' rows.
    void InstallTripTips();
    std::vector<DrivingEvent> m_currentEvents;
    QPointer<QWidget> m_pInfoPanel;

    // IMainWindowLink.
    ICompassView* Compass() override { return &m_compass; }
    ISpeedView* SpeedReadout() override { return &m_speed; }
    IStatusBoardView* StatusBoard() override { return &m_statusBoard; }
    bool ConfirmOverwrite(const QString& targetPath) override;

    // The rectangle of the monitor the window is on (its whole area, not
    // the work area); tests replace it.
    virtual QRect MonitorRect() const;

    // Members, as the rest of the window reads and writes them.
    QString m_strTitle = QStringLiteral("KolvexPlayer");
    int m_nTitleSize = 24;
    QIcon m_hIcon;
    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    int m_bMaximized = 0;
    int m_bFullScreen = 0;
    int m_bMinimized = 0;
    int m_nRestoreTop = 0;
    int m_nRestoreLeft = 0;
    int m_nRestoreWidth = 0;
    int m_nRestoreHeight = 0;
    int m_bMapEnabled = 1;
    int m_bGSensorEnabled = 1;
    uint8_t m_bResizing = 0;
    QRect m_rcMapSplit;
    QRect m_rcListSplit;
    QRect m_rcColumnSplit;
    QPoint m_ptCursor;
    int m_nFullScreenVideo = 0;
    uint8_t m_bDragMapSplit = 0;
    uint8_t m_bDragListSplit = 0;
    uint8_t m_bDragColumnSplit = 0;
    int m_nColumnWidth = 240;
    int m_nMapHeight = 240;
    int m_nListHeight = 120;
    CHtmlMapDlg* m_pMapDlg = nullptr;
    int m_nMapType = 0;
    int m_nOpenMode = 0;
    QString m_strCurrentFile;
    // The rear camera's recording of the current front one; empty when it
    // has none (the rear pane then stays idle).
    QString m_strRearFile;
    QString m_strSourcePath;
    CRecordingManager m_recordings;
    // From the start of a recording by a disk or folder open or a list
    // double-click until its first time report (or the guard timer): list
    // double-clicks wait meanwhile.
    bool m_bOpening = false;
    int m_nDeferredOpenIndex = -1;
    int m_nDeferredOpenCountdown = 0;

private:
    // Both players and what drives them: the window asks it to open, play,
    // pause, seek and change the rate, and listens to what it reports.
    CPlaybackController m_playback;

public:
    CPlaybackController& Playback() { return m_playback; }
    const CPlaybackController& Playback() const { return m_playback; }
    // The controller's players, as diagnostics and tests read them.
    CVlcPlayer& m_frontPlayer;
    CVlcPlayer& m_rearPlayer;
    CGdipButton m_btnPlay, m_btnStop, m_btnSlow, m_btnFast, m_btnConfig, m_btnDelete, m_btnSaveAs,
        m_btnSnapshot, m_btnOpen, m_btnAutoNext, m_btnRotate, m_btnKml, m_btnMap, m_btnGSensor,
        m_btnUnlock;
    CGSensorCtrl m_gsensor;
    CVideoStatic m_frontVideo;
    CVideoStatic m_rearVideo;
    CVideoSlider m_positionSlider;
    CMySliderControl m_volumeSlider;
    QColor m_brBackground{5, 5, 5};
    CTavloToolTipCtrl m_toolTip;
    CGdipButton m_btnClose, m_btnMaximize, m_btnMinimize, m_btnAbout, m_btnMute;
    CPngStatic m_gpsIcon, m_logo, m_banner;
    CKolvexGroupListCtrl m_groupList;
    CKolvexFileListCtrl m_fileList;
    CPngCompassStatic m_compass;
    CSpeedLabelStatic m_speed;
    CGdipButton m_btnSmall, m_btnMedium, m_btnLarge;
    CStatusBoardStatic m_statusBoard;
    CVideoStaticBg m_frontFrame;
    CVideoStaticBg m_rearFrame;
    // Over a full-screen video, while the mouse is at its bottom.
    CFullScreenControls m_fullScreenControls{this};

    // The client size of the last layout made by the size notification.
    QSize m_lastLayoutSize;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override { OnCancel(); }

private:
    void CreateControls();
    // The controller's signals to the window's handlers.
    void ListenToPlayback();
    void BindCommand(CGdipButton& button, int id);
    void MoveWindowTo(const QRect& rect);
    void SaveRestoreRect();
    void ShowSurfacesAfterMinimise();
    void WriteWindowPosition();
    void ShowWindowMenu(const QPoint& globalPos);
    void UpdateCursor(const QPoint& pos);
    void ApplyToolTipTexts();
    // Whether the library holds recordings; tells the user when not.
    bool HaveRecordingsOrSay();
    void SayNoneChecked();
    // What the last file operation left undone, when anything.
    void ReportOperation();
    QWidget* Placeholder() const { return m_pMapPlaceholder; }

    Options m_options;
    QWidget* m_pMapPlaceholder = nullptr; // control 1004
    std::unique_ptr<MapViewLink> m_pMapLink;
    std::unique_ptr<CScreenSaverInhibitor> m_pInhibitor;
    QBasicTimer m_keyNudgeTimer;
    QBasicTimer m_deferredOpenTimer;
    QBasicTimer m_openGuardTimer;
    // The window follows the mouse from a press on a free point to its
    // release.
    bool m_bManualMove = false;
    // A double-click handed to the speed read-out that it leaves unhandled
    // comes back to the window; it must not be handed on again.
    bool m_bForwardingDoubleClick = false;
    QPoint m_manualMoveOffset;
    CCopySession* m_pCopySession = nullptr; // while Save as copies
    bool m_bCloseAfterCopy = false;         // closed while copying
};

} // namespace kolvex
