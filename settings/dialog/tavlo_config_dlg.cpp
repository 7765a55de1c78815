#include "tavlo_config_dlg.h"

#include "app/dialog_units.h"
#include "app/window_messages.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>

#include <algorithm>

namespace kolvex {

namespace {

constexpr int kMapEntries = 2;

int ButtonWidth(const QPushButton* button, int templateWidth) {
    return std::max(templateWidth, button->fontMetrics().horizontalAdvance(button->text()) + 16);
}

} // namespace

CTavloConfigDlg::CTavloConfigDlg(QWidget* owner) : QDialog(owner), m_pOwner(owner) {
    setObjectName(QStringLiteral("ConfigDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_grpMap = new QGroupBox(QStringLiteral("Map Option"), this);
    m_cbMap = new QComboBox(this);
    m_chkSpeedRoute = new QCheckBox(this);
    m_btnApplyMap = new QPushButton(QStringLiteral("Apply"), this);
    m_grpLanguage = new QGroupBox(QStringLiteral("Language"), this);
    m_cbLanguage = new QComboBox(this);
    m_btnApplyLanguage = new QPushButton(QStringLiteral("Apply"), this);
    // The map list keeps its text field; a language is only chosen.
    m_cbMap->setEditable(true);
    m_cbMap->setInsertPolicy(QComboBox::NoInsert);
    for (QComboBox* list : {m_cbMap, m_cbLanguage}) {
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        list->raise(); // in front of its group box
    }
    m_chkSpeedRoute->raise();
    m_btnApplyMap->raise();
    m_btnApplyLanguage->raise();
    for (QPushButton* button : {m_btnCancel, m_btnApplyMap, m_btnApplyLanguage})
        button->setAutoDefault(false);
    m_btnOk->setDefault(true);
    setTabOrder(m_cbMap, m_chkSpeedRoute);
    setTabOrder(m_chkSpeedRoute, m_btnApplyMap);
    setTabOrder(m_btnApplyMap, m_cbLanguage);
    setTabOrder(m_cbLanguage, m_btnApplyLanguage);
    setTabOrder(m_btnApplyLanguage, m_btnOk);
    setTabOrder(m_btnOk, m_btnCancel);

    connect(m_btnOk, &QPushButton::clicked, this, &CTavloConfigDlg::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &CTavloConfigDlg::reject);
    connect(m_btnApplyMap, &QPushButton::clicked, this, &CTavloConfigDlg::OnApplyMap);
    connect(m_btnApplyLanguage, &QPushButton::clicked, this, &CTavloConfigDlg::OnApplyLanguage);
}

void CTavloConfigDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void CTavloConfigDlg::OnInitDialog() {
    m_bInitialised = true;
    CAppSettings& settings = CAppSettings::GetInstance();
    m_cbLanguage->clear();
    for (const LanguageEntry& language : g_LanguageTable)
        m_cbLanguage->addItem(QString::fromUtf16(language.name));
    m_cbMap->clear();
    m_cbMap->addItem(LoadLangString(StringId::MapType0));
    m_cbMap->addItem(LoadLangString(StringId::MapType1));
    m_cbLanguage->setCurrentIndex(settings.LanguageIndex());
    ApplyTexts();
    const int mapType = settings.ReadMapType();
    m_nMapType = mapType < kMapEntries ? mapType : 0;
    m_cbMap->setCurrentIndex(m_nMapType);
    m_chkSpeedRoute->setChecked(
        settings.ReadInt(KolvexIni::kSectionUI, KolvexIni::kRouteSpeed, 0) != 0);
}

void CTavloConfigDlg::ApplyTexts() {
    setWindowTitle(LoadLangString(StringId::ConfigCaption));
    m_btnOk->setText(LoadLangString(StringId::ButtonOk));
    m_btnCancel->setText(LoadLangString(StringId::ButtonCancel));
    m_btnApplyLanguage->setText(LoadLangString(StringId::ButtonApply));
    m_btnApplyMap->setText(LoadLangString(StringId::ButtonApply));
    m_grpMap->setTitle(LoadLangString(StringId::SelectMap));
    m_chkSpeedRoute->setText(LoadLangString(StringId::RouteBySpeed));
    m_grpLanguage->setTitle(LoadLangString(StringId::SelectLanguage));
    LayoutControls();
}

int CTavloConfigDlg::SelectedRow(const QComboBox* list) {
    const int row = list->currentIndex();
    if (row < 0 || list->currentText() != list->itemText(row))
        return -1;
    return row;
}

void CTavloConfigDlg::Post(int message, int wParam) {
    if (m_pOwner)
        QCoreApplication::postEvent(m_pOwner, new CWindowMessageEvent(message, wParam, 0));
}

void CTavloConfigDlg::OnApplyMap() {
    m_nMapType = SelectedRow(m_cbMap) == 1 ? 1 : 0;
    CAppSettings::GetInstance().SetMapType(m_nMapType);
    CAppSettings::GetInstance().WriteInt(KolvexIni::kSectionUI, KolvexIni::kRouteSpeed,
                                         m_chkSpeedRoute->isChecked() ? 1 : 0);
    Post(WM_MAP_CHANGED, m_nMapType);
}

void CTavloConfigDlg::OnApplyLanguage() {
    const int index = SelectedRow(m_cbLanguage);
    // Text typed into the list that names no language changes nothing.
    if (!CAppSettings::GetInstance().SetLanguage(index))
        return;
    const int map = m_cbMap->currentIndex();
    const QString typedMap = m_cbMap->currentText();
    ApplyTexts();
    m_cbMap->setCurrentIndex(map);
    m_cbMap->setEditText(typedMap);
    Post(WM_LANGUAGE_CHANGED, index);
}

void CTavloConfigDlg::accept() {
    OnApplyMap();
    CAppSettings& settings = CAppSettings::GetInstance();
    const int index = SelectedRow(m_cbLanguage);
    if (settings.SetLanguage(index))
        ApplyTexts();
    m_cbMap->setCurrentIndex(std::min(settings.ReadMapType(), kMapEntries - 1));
    if (index >= 0)
        Post(WM_LANGUAGE_CHANGED, index);
    QDialog::accept();
}

void CTavloConfigDlg::LayoutControls() {
    // The template's places in dialog units; a group box grows to hold a
    // longer title or list, and what stands right of it moves along.
    struct Group {
        QGroupBox* box;
        QComboBox* list;
        QPushButton* apply;
        QRect boxPlace, listPlace, applyPlace;
    };
    const Group groups[] = {
        {m_grpMap, m_cbMap, m_btnApplyMap, DluRect(6, 3, 101, 83), DluRect(22, 23, 74, 12),
         DluRect(29, 55, 50, 14)},
        {m_grpLanguage, m_cbLanguage, m_btnApplyLanguage, DluRect(117, 3, 101, 83),
         DluRect(135, 23, 66, 12), DluRect(143, 55, 50, 14)},
    };
    const int gap = DluToPixelsX(117 - 107);
    int left = DluToPixelsX(6);
    for (const Group& g : groups) {
        const int listInset = g.listPlace.x() - g.boxPlace.x();
        const int applyInset = g.applyPlace.x() - g.boxPlace.x();
        const int listWidth = std::max(g.listPlace.width(), g.list->sizeHint().width());
        // The map group also holds the speed-route box below its list.
        const int checkWidth = g.box == m_grpMap ? m_chkSpeedRoute->sizeHint().width() : 0;
        const int applyWidth = ButtonWidth(g.apply, g.applyPlace.width());
        const int titleWidth = g.box->fontMetrics().horizontalAdvance(g.box->title()) + 24;
        int boxWidth = std::max({g.boxPlace.width(), titleWidth, listInset * 2 + listWidth,
                                 applyInset * 2 + applyWidth, checkWidth + 2 * DluToPixelsX(6)});
        // Grown boxes centre their list and button.
        const bool grown = boxWidth > g.boxPlace.width();
        const int listX = grown ? left + (boxWidth - listWidth) / 2 : left + listInset;
        const int applyX = grown ? left + (boxWidth - applyWidth) / 2 : left + applyInset;
        g.box->setGeometry(left, g.boxPlace.y(), boxWidth, g.boxPlace.height());
        g.list->setGeometry(listX, g.listPlace.y(), listWidth,
                            std::max(g.listPlace.height(), g.list->sizeHint().height()));
        g.apply->setGeometry(applyX, g.applyPlace.y(), applyWidth,
                             std::max(g.applyPlace.height(), g.apply->sizeHint().height()));
        if (g.box == m_grpMap)
            m_chkSpeedRoute->setGeometry(left + (boxWidth - checkWidth) / 2, DluToPixelsY(39),
                                         checkWidth, m_chkSpeedRoute->sizeHint().height());
        left += boxWidth + gap;
    }
    const int groupsRight = left - gap;
    const int width = std::max(DluToPixelsX(357), groupsRight + DluToPixelsX(357 - 218));
    const int right = width - DluToPixelsX(7);
    const int top = DluToPixelsY(95);
    const int height = std::max(DluToPixelsY(14), m_btnOk->sizeHint().height());
    const int cancelWidth = ButtonWidth(m_btnCancel, DluToPixelsX(50));
    m_btnCancel->setGeometry(right - cancelWidth, top, cancelWidth, height);
    const int okWidth = ButtonWidth(m_btnOk, DluToPixelsX(50));
    m_btnOk->setGeometry(m_btnCancel->x() - DluToPixelsX(5) - okWidth, top, okWidth, height);
    setFixedSize(width, std::max(DluToPixelsY(116), top + height + DluToPixelsY(7)));
}

} // namespace kolvex
