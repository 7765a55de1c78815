// CKolvexDlg: the About box, the open and configuration dialogs, and what
// the configuration dialog tells the window.
#include "kolvex_dlg.h"

#include "about_dlg.h"

#include "map/view/html_map_dlg.h"
#include "settings/app_settings.h"
#include "settings/dialog/tavlo_config_dlg.h"

#include <algorithm>

namespace kolvex {

void CKolvexDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CKolvexDlg::OnConfig() {
    CTavloConfigDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_nMapType = dialog.m_nMapType;
    if (m_pMapDlg) {
        m_pMapDlg->m_nMapType = m_nMapType;
        m_pMapDlg->LoadFromResource(m_nMapType == 1 ? IDR_HTML_BMAP : IDR_HTML_YMAP);
    }
}

void CKolvexDlg::OnLanguageChanged() {
    m_groupList.RelabelColumns();
    m_fileList.RelabelColumns();
    ApplyToolTipTexts();
}

void CKolvexDlg::OnMapChanged() {
    CAppSettings& settings = CAppSettings::GetInstance();
    m_nMapType = settings.ReadMapType();
    m_recordings.SetSpeedRoute(settings.ReadInt(KolvexIni::kSectionUI, KolvexIni::kRouteSpeed, 0) !=
                               0);
    if (m_pMapDlg) {
        m_pMapDlg->m_nMapType = m_nMapType;
        m_pMapDlg->LoadFromResource(m_nMapType == 1 ? IDR_HTML_BMAP : IDR_HTML_YMAP);
        // The new page starts empty: it gets the current recording's path,
        // route and driven part again, queued until it has loaded.
        if (m_frontPlayer.m_bUsable && !m_recordings.Entries().empty())
            m_recordings.ReplotMap(
                static_cast<uint32_t>(std::max<int64_t>(0, m_frontPlayer.GetTime())));
    }
}

} // namespace kolvex
