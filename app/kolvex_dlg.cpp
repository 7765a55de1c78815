// CKolvexDlg: construction, initialisation, the window's own messages,
// commands and closing.
#include "kolvex_dlg.h"

#include "dialog_units.h"
#include "map_view_link.h"
#include "screen_saver_inhibitor.h"
#include "window_messages.h"

#include "library/native_path.h"
#include "map/view/html_map_dlg.h"
#include "resources/skin/skin_image.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QTimerEvent>

#include <cstdio>

namespace kolvex {

CKolvexDlg::CKolvexDlg() : CKolvexDlg(Options{}) {}

namespace {

// The libVLC library file the players load.
QByteArray VlcLibraryFor(const CKolvexDlg::Options& options) {
    if (!options.vlcLibrary.isEmpty())
        return NativePath(options.vlcLibrary);
    const QByteArray fromEnvironment = qgetenv("KOLVEX_LIBVLC");
    return fromEnvironment.isEmpty() ? QByteArray(CVlcPlayer::kDefaultLibrary) : fromEnvironment;
}

} // namespace

CKolvexDlg::CKolvexDlg(const Options& options)
    : QDialog(nullptr), m_playback(VlcLibraryFor(options)), m_frontPlayer(m_playback.Front()),
      m_rearPlayer(m_playback.Rear()), m_options(options) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("KolvexMainWindow"));
    // A card, folder or recording dropped anywhere on the window opens.
    setAcceptDrops(true);
    m_hIcon = skin::appIcon();
    m_nMapType = CAppSettings::GetInstance().ReadMapType();
    m_recordings.SetSpeedRoute(
        CAppSettings::GetInstance().ReadInt(KolvexIni::kSectionUI, KolvexIni::kRouteSpeed, 0) != 0);
    CreateControls();
    ListenToPlayback();
    // The map view exists from the start (OnInitDialog places and loads it):
    // its browser draws through OpenGL, and the native video surfaces must
    // be created into a window that already knows that.
    if (m_options.createMap)
        m_pMapDlg = new CHtmlMapDlg(this);
    resize(kTemplateWidth, kTemplateHeight);
}

CKolvexDlg::~CKolvexDlg() {
    // The map view goes first; the players are released with the members,
    // while the window object still exists.
    delete m_pMapDlg;
    m_pMapDlg = nullptr;
}

void CKolvexDlg::CreateControls() {
    // Every control of the template is a child of the window, in the
    // template's order, so that tab order and stacking follow it.
    QWidget* children[] = {
        &m_btnOpen,     &m_frontFrame,   &m_rearFrame,      &m_frontVideo, &m_gsensor,
        &m_btnSaveAs,   &m_btnSnapshot,  &m_positionSlider, &m_gpsIcon,    &m_rearVideo,
        &m_btnDelete,   &m_btnConfig,    &m_btnPlay,        &m_btnStop,    &m_btnFast,
        &m_btnSlow,     &m_volumeSlider, &m_btnAutoNext,    &m_btnRotate,  &m_btnKml,
        &m_btnMap,      &m_btnGSensor,   &m_btnUnlock,      &m_fileList,   &m_groupList,
        &m_btnMinimize, &m_btnClose,     &m_btnMute,        &m_logo,       &m_btnSmall,
        &m_compass,     &m_speed,        &m_btnMedium,      &m_btnLarge,   &m_statusBoard,
        &m_banner,      &m_btnMaximize,  &m_btnAbout};
    for (QWidget* child : children)
        child->setParent(this);
    // The surfaces lie in front of their frames.
    m_frontVideo.raise();
    m_rearVideo.raise();
    m_statusBoard.raise();

    m_pMapPlaceholder = new QWidget(this);
    m_pMapPlaceholder->setObjectName(QString::fromLatin1(kMapPlaceholderName));
    m_pMapPlaceholder->setGeometry(DluRect(430, 30, 185, 150));

    // Places the layout never changes (template units).
    m_gpsIcon.setGeometry(DluRect(141, 5, 19, 16));
    m_compass.setGeometry(DluRect(197, 1, 32, 32));
    m_speed.setGeometry(DluRect(247, 0, 60, 20));
    m_banner.setGeometry(DluRect(35, 1, 24, 8));
    // The graph's height comes from its template place and is never changed
    // by the layout (62 units, 100 pixels).
    m_gsensor.setGeometry(DluRect(3, 150, 360, 62));
    m_statusBoard.hide();
    // The read-out lies on the window's own surface: a press there moves
    // the window, and the window hands double-clicks on to switch the unit.
    m_speed.setAttribute(Qt::WA_TransparentForMouseEvents);

    m_btnPlay.setDefault(true);
    BindCommand(m_btnPlay, IDC_PLAY);
    BindCommand(m_btnStop, IDC_STOP);
    BindCommand(m_btnSlow, IDC_SLOW);
    BindCommand(m_btnFast, IDC_FAST);
    BindCommand(m_btnConfig, IDC_CONFIG);
    BindCommand(m_btnDelete, IDC_DELETE);
    BindCommand(m_btnSaveAs, IDC_SAVE_AS);
    BindCommand(m_btnSnapshot, IDC_SNAPSHOT);
    BindCommand(m_btnOpen, IDC_OPEN);
    BindCommand(m_btnAutoNext, IDC_AUTO_NEXT);
    BindCommand(m_btnRotate, IDC_ROTATE);
    BindCommand(m_btnKml, IDC_KML);
    BindCommand(m_btnMap, IDC_MAP);
    BindCommand(m_btnGSensor, IDC_GSENSOR);
    BindCommand(m_btnUnlock, IDC_UNLOCK);
    BindCommand(m_btnClose, IDC_CLOSE);
    BindCommand(m_btnMaximize, IDC_MAXIMIZE);
    BindCommand(m_btnMinimize, IDC_MINIMIZE);
    BindCommand(m_btnAbout, ID_APP_ABOUT);
    BindCommand(m_btnMute, IDC_MUTE);
    // A click writes KML at once; a right-click offers KML or GPX.
    m_btnKml.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_btnKml, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowExportMenu(m_btnKml.mapToGlobal(at)); });
    BindCommand(m_btnSmall, IDC_SMALL);
    BindCommand(m_btnMedium, IDC_MEDIUM);
    BindCommand(m_btnLarge, IDC_LARGE);

    m_frontVideo.SetNotifyWindow(this);
    m_rearVideo.SetNotifyWindow(this);
    m_frontFrame.SetNotifyWindow(this);
    m_rearFrame.SetNotifyWindow(this);
    setMouseTracking(true);
    m_fullScreenControls.m_onCommand = [this](int id) { OnCommand(id); };
    m_fullScreenControls.m_onSeek = [this](int position) {
        m_positionSlider.setValue(position);
        OnSeekChanged();
    };
    // Space reaches the window before any of its controls, and a mouse
    // over a full-screen video is seen wherever it lands (eventFilter).
    qApp->installEventFilter(this);
}

void CKolvexDlg::ListenToPlayback() {
    m_playback.SetPictureHeightSource([this] {
        int width = 0;
        int height = 0;
        return m_recordings.GetCurrentPictureSize(&width, &height) ? height : 0;
    });
    connect(&m_playback, &CPlaybackController::frontTime, this,
            [this](qint64 timeMs) { OnPlayerTime(timeMs); });
    connect(&m_playback, &CPlaybackController::frontState, this,
            [this](int state) { OnPlayerState(state); });
    connect(&m_playback, &CPlaybackController::frontError, this,
            [this](int code) { OnPlayerError(code); });
    connect(&m_playback, &CPlaybackController::heldAtStart, this, [this] { OnHeldAtStart(); });
    connect(&m_playback, &CPlaybackController::nextWanted, this, [this] { PlayNextAfterEnd(); });
    // A seek redraws the driven part of the path up to where it landed.
    connect(&m_playback, &CPlaybackController::seekApplied, this,
            [this](qint64 timeMs) { m_recordings.PlotDrivenPath(static_cast<uint32_t>(timeMs)); });
}

void CKolvexDlg::BindCommand(CGdipButton& button, int id) {
    button.setProperty("commandId", id);
    connect(&button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
}

bool CKolvexDlg::OnInitDialog() {
    CAppSettings& settings = CAppSettings::GetInstance();
    settings.ReadLanguage();
    InstallTripTips();
    setWindowIcon(m_hIcon);

    m_bMapEnabled = settings.ReadInt(KolvexIni::kSectionUI, KolvexIni::kMapEnable, 1) != 0 ? 1 : 0;
    m_bGSensorEnabled =
        settings.ReadInt(KolvexIni::kSectionUI, KolvexIni::kGSensorEnable, 1) != 0 ? 1 : 0;
    if (!m_bGSensorEnabled)
        m_gsensor.hide();

    const auto warnUnusable = [this] {
        // Which file was tried, and how to name another: the one thing a
        // user can act on.
        const QByteArray library = VlcLibraryFor(m_options);
        std::fprintf(stderr,
                     "kolvex: the video player could not be loaded from the libVLC library "
                     "file \"%s\"; KOLVEX_LIBVLC names another\n",
                     library.constData());
        QMessageBox::warning(this, LoadLangString(StringId::WarningCaption),
                             LoadLangString(StringId::VideoComponentFailed) +
                                 QStringLiteral("\n\n") +
                                 LoadLangString(StringId::LibraryTried)
                                     .replace(QStringLiteral("%s"), PathFromNative(library)),
                             QMessageBox::Ok);
    };
    if (!m_frontPlayer.m_bUsable)
        warnUnusable();
    if (!m_rearPlayer.m_bUsable)
        warnUnusable();
    m_playback.Attach(static_cast<CVlcPlayer::WindowHandle>(m_frontVideo.SurfaceWinId()),
                      static_cast<CVlcPlayer::WindowHandle>(m_rearVideo.SurfaceWinId()));

    m_positionSlider.setRange(0, 1000);
    m_volumeSlider.setRange(0, 100);
    m_volumeSlider.setValue(100);

    if (m_pMapDlg) {
        m_pMapDlg->PlaceOnPlaceholder(this);
        m_pMapPlaceholder = nullptr; // the map view removed it
        m_pMapDlg->m_nMapType = m_nMapType;
        for (int type = 0; type < 2; ++type)
            m_pMapDlg->SetTileUrl(type, settings.ReadMapTileUrl(type));
        m_pMapDlg->LoadFromResource(m_nMapType == 1 ? IDR_HTML_BMAP : IDR_HTML_YMAP);
        m_pMapLink = std::make_unique<MapViewLink>(m_pMapDlg);
    }

    m_btnPlay.SetStandardImage(129);
    m_btnPlay.SetAlternateImage(132);
    m_btnPlay.MakeToggle();
    m_btnStop.SetStandardImage(133);
    m_btnFast.SetStandardImage(136);
    m_btnSlow.SetStandardImage(137);
    for (CGdipButton* b : {&m_btnConfig, &m_btnDelete, &m_btnSaveAs, &m_btnSnapshot, &m_btnOpen})
        b->resize(48, 36);
    m_btnConfig.SetStandardImage(138);
    m_btnDelete.SetStandardImage(142);
    m_btnSaveAs.SetStandardImage(141);
    m_btnSnapshot.SetStandardImage(140);
    m_btnOpen.SetStandardImage(139);
    for (CGdipButton* b : {&m_btnAutoNext, &m_btnKml, &m_btnMap, &m_btnGSensor, &m_btnUnlock})
        b->resize(48, 48);
    m_btnAutoNext.SetStandardImage(143);
    m_btnAutoNext.SetAlternateImage(176);
    m_btnAutoNext.MakeToggle();
    m_btnRotate.setEnabled(false);
    m_btnKml.SetStandardImage(145);
    m_btnMap.SetStandardImage(146);
    m_btnGSensor.SetStandardImage(147);
    m_btnUnlock.SetStandardImage(148);
    m_btnClose.SetStandardImage(151);
    m_btnMaximize.SetStandardImage(152);
    m_btnMinimize.SetStandardImage(153);
    m_btnAbout.SetStandardImage(154);
    m_btnSmall.SetStandardImage(1045);
    m_btnMedium.SetStandardImage(187);
    m_btnLarge.SetStandardImage(188);
    m_btnMute.SetStandardImage(156);
    m_btnMute.SetAlternateImage(155);
    m_btnMute.MakeToggle();
    m_btnRotate.hide();
    m_btnRotate.setEnabled(false);

    m_gpsIcon.LoadFromResource(150);
    m_gpsIcon.m_bActive = 0;
    m_gpsIcon.update();
    m_logo.LoadFromResource(157);
    m_logo.m_bActive = 1;
    m_logo.setGeometry(8, 4, 40, 40);
    m_banner.setEnabled(false);

    m_compass.resize(32, 32);
    for (int id = 167; id <= 174; ++id)
        m_compass.AddImage(id);
    m_compass.m_nImage = 0;
    m_compass.update();

    m_frontFrame.show();
    m_rearFrame.show();
    m_speed.SetSpeed(true, 0);
    setWindowTitle(m_strTitle);

    // The stored rectangle, made usable on the screen it lies on.
    const QPoint storedTopLeft(settings.ReadInt(KolvexIni::kSectionWinPos, KolvexIni::kLeft, 0),
                               settings.ReadInt(KolvexIni::kSectionWinPos, KolvexIni::kTop, 0));
    QScreen* screen = QGuiApplication::screenAt(storedTopLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QRect rect;
    settings.ReadWindowRect(rect, screen ? screen->availableGeometry() : QRect(0, 0, 800, 560));
    setGeometry(rect);
    // The size notification of the placement, at once: the lists below
    // take their column widths from their laid-out width.
    m_nClientWidth = rect.width();
    m_nClientHeight = rect.height();
    LayoutControls(m_nClientWidth, m_nClientHeight);

    m_statusBoard.m_nBarBitmapId = 189;
    // Light, to read over both the bar and the dark rest.
    m_statusBoard.m_crText = QColor(235, 235, 235);
    m_statusBoard.update();
    ApplyToolTipTexts();

    // The lists: report view, lock icons, columns; the group list first.
    m_groupList.SetReportStyle();
    m_groupList.AttachLockImages();
    m_groupList.InitColumns();
    m_fileList.SetReportStyle();
    m_fileList.AttachLockImages();
    m_fileList.InitColumns();

    m_recordings.Init(&m_groupList, &m_fileList, &m_gsensor, m_pMapLink.get(), this);
    m_recordings.SetProgressView(&m_frontVideo);

    m_frontVideo.hide();
    m_rearVideo.hide();
    m_deferredOpenTimer.start(100, this);
    m_pInhibitor = std::make_unique<CScreenSaverInhibitor>();
    return true;
}

void CKolvexDlg::ApplyToolTipTexts() {
    constexpr int kToolTipIcon = 161;
    m_toolTip.RemoveAllTools();
    m_toolTip.RemoveAllToolImages();
    const struct {
        QWidget* control;
        unsigned id;
    } tools[] = {
        {&m_btnAbout, 198},     {&m_btnConfig, 183},   {&m_btnDelete, 182},  {&m_btnClose, 195},
        {&m_btnFast, 186},      {&m_btnRotate, 190},   {&m_btnGSensor, 193}, {&m_btnKml, 191},
        {&m_btnUnlock, 194},    {&m_btnAutoNext, 189}, {&m_btnMap, 192},     {&m_btnMaximize, 196},
        {&m_btnMinimize, 197},  {&m_btnOpen, 179},     {&m_btnPlay, 134},    {&m_btnSaveAs, 181},
        {&m_btnSlow, 184},      {&m_btnSnapshot, 180}, {&m_btnStop, 185},    {&m_btnMute, 188},
        {&m_volumeSlider, 187}, {&m_speed, 199},       {&m_btnSmall, 137},   {&m_btnMedium, 138},
        {&m_btnLarge, 139},
    };
    for (const auto& tool : tools) {
        const QString text = LoadLangString(tool.id);
        m_toolTip.AddTool(tool.control, text);
        tool.control->setAccessibleName(text);
    }
    for (const auto& tool : tools)
        m_toolTip.AddToolImage({tool.control, 0, kToolTipIcon});
    // The lists have no tips; a screen reader names them by what their
    // rows are.
    m_groupList.setAccessibleName(LoadLangString(StringId::ColumnGroup));
    m_fileList.setAccessibleName(LoadLangString(StringId::ColumnFileName));
}

bool CKolvexDlg::ConfirmOverwrite(const QString& targetPath) {
    QString text = LoadLangString(141);
    text.replace(QStringLiteral("%s"), targetPath);
    return QMessageBox::question(this, LoadLangString(140), text,
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void CKolvexDlg::OnCommand(int id) {
    if (CopyRunning() && (id == IDC_OPEN || id == IDC_SAVE_AS || id == IDC_DELETE ||
                          id == IDC_UNLOCK || id == IDC_CONFIG))
        return;
    switch (id) {
    case IDC_SMALL:
        OnSmallWindow();
        break;
    case IDC_MEDIUM:
        OnMediumWindow();
        break;
    case IDC_LARGE:
        OnLargeWindow();
        break;
    case IDC_MAXIMIZE:
        OnMaximizeRestore();
        break;
    case IDC_MINIMIZE:
        OnMinimize();
        break;
    case ID_APP_ABOUT:
        OnAbout();
        break;
    case IDC_OPEN:
        OnOpen();
        break;
    case IDC_CONFIG:
        OnConfig();
        break;
    case IDC_PLAY:
        OnPlayPause();
        break;
    case IDC_STOP:
        OnStop();
        break;
    case IDC_FAST:
        OnChangeRate(+1);
        break;
    case IDC_SLOW:
        OnChangeRate(-1);
        break;
    case IDC_MUTE:
        OnMute();
        break;
    case IDC_SNAPSHOT:
        OnSnapshot();
        break;
    case IDC_DELETE:
        OnDelete();
        break;
    case IDC_SAVE_AS:
        OnSaveAs();
        break;
    case IDC_UNLOCK:
        OnUnlock();
        break;
    case IDC_KML:
        OnKml();
        break;
    case IDC_MAP:
        OnMapSwitch();
        break;
    case IDC_GSENSOR:
        OnGSensorSwitch();
        break;
    case IDC_AUTO_NEXT:
        m_playback.SetAutoNext(!m_playback.AutoNext());
        break;
    case IDC_CLOSE:
        // Posted, as a close message is: the click finishes first.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        break;
    default:
        break; // the other commands come with playback and the lists
    }
}

bool CKolvexDlg::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
    case WM_TOGGLE_FULLSCREEN:
        OnToggleFullScreen();
        return true;
    case WM_RESTORE_CONTROLS:
        OnRestoreControls();
        return true;
    case WM_PLAYER_RESERVED:
        return true;
    case WM_LANGUAGE_CHANGED:
        OnLanguageChanged();
        return true;
    case WM_MAP_CHANGED:
        OnMapChanged();
        return true;
    case WM_SEEK_CHANGED:
        OnSeekChanged();
        return true;
    case WM_VOLUME_CHANGED:
        OnVolumeChanged();
        return true;
    case WM_OPEN_GROUP:
        OnOpenGroup(static_cast<int>(static_cast<CWindowMessageEvent*>(event)->m_nWParam));
        return true;
    case WM_OPEN_FILE:
        OnOpenFile(static_cast<int>(static_cast<CWindowMessageEvent*>(event)->m_nWParam));
        return true;
    default:
        break;
    }
    // Alt+Space opens the window menu, as a window frame would.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::AltModifier) {
            if (event->type() == QEvent::KeyPress)
                ShowWindowMenu(mapToGlobal(QPoint(0, 0)));
            event->accept();
            return true;
        }
    }
    return QDialog::event(event);
}

void CKolvexDlg::keyPressEvent(QKeyEvent* event) {
    // Escape leaves full screen and otherwise does nothing in the main
    // window; Enter goes on to the dialog, which presses play/pause.
    if (HandleShortcut(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CKolvexDlg::WriteWindowPosition() {
    const QRect r = geometry();
    CAppSettings& settings = CAppSettings::GetInstance();
    settings.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kLeft, r.left());
    settings.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kTop, r.top());
    settings.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kRight, r.left() + r.width());
    settings.WriteInt(KolvexIni::kSectionWinPos, KolvexIni::kBottom, r.top() + r.height());
}

void CKolvexDlg::OnCancel() {
    m_playback.StopFront();
    WriteWindowPosition();
}

void CKolvexDlg::closeEvent(QCloseEvent* event) {
    if (CopyRunning()) {
        // The copy stops first and says what it copied; then the window closes.
        m_bCloseAfterCopy = true;
        CancelCopy();
        event->ignore();
        return;
    }
    OnCancel();
    m_playback.StopBoth();
    if (m_pInhibitor)
        m_pInhibitor->Release();
    event->accept();
    done(QDialog::Rejected);
}

void CKolvexDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_keyNudgeTimer.timerId()) {
        // Full screen has settled: the desktop is asked not to start its
        // screen saver while a video plays.
        m_keyNudgeTimer.stop();
        if (m_pInhibitor && m_frontPlayer.m_bUsable && !m_frontPlayer.m_bPaused)
            m_pInhibitor->Inhibit(QStringLiteral("Playing a recording"));
        return;
    }
    if (event->timerId() == m_deferredOpenTimer.timerId()) {
        OnDeferredOpenTick();
    } else if (event->timerId() == m_openGuardTimer.timerId()) {
        m_bOpening = false;
        m_openGuardTimer.stop();
    }
    QDialog::timerEvent(event);
}

void CKolvexDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized) &&
        m_bMinimized) {
        // Back from the taskbar: no resize comes when the size did not
        // change, so the video surfaces are shown again here.
        ShowSurfacesAfterMinimise();
    }
    QDialog::changeEvent(event);
}

} // namespace kolvex
