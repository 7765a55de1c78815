// CTavloConfigDlg: the map type (with the route coloured by speed) and the
// interface language. Each has an
// Apply button that takes effect at once; OK applies both and closes;
// Cancel closes and keeps what was applied. The owner window learns of a
// change through WM_MAP_CHANGED and WM_LANGUAGE_CHANGED, posted to it.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

namespace kolvex {

class CTavloConfigDlg : public QDialog {
    Q_OBJECT
public:
    // `owner` receives the posted messages; it may be null (nothing is told).
    explicit CTavloConfigDlg(QWidget* owner = nullptr);

    // The lists and their current choices; runs once, before the dialog is
    // first shown.
    void OnInitDialog();
    // Caption, group boxes and buttons in the current language.
    void ApplyTexts();

    void OnApplyMap();
    void OnApplyLanguage();
    void accept() override;

    // The map type last applied here; the owner reads it after OK.
    int m_nMapType = 0;

    QComboBox* m_cbMap;
    // The route coloured by speed ("UI"/"ROUTE_SPEED"), applied with the map.
    QCheckBox* m_chkSpeedRoute;
    QComboBox* m_cbLanguage;
    QGroupBox* m_grpMap;
    QGroupBox* m_grpLanguage;
    QPushButton* m_btnApplyMap;
    QPushButton* m_btnApplyLanguage;
    QPushButton* m_btnOk;
    QPushButton* m_btnCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The selected row, or -1 when typed text matches none.
    static int SelectedRow(const QComboBox* list);
    void Post(int message, int wParam);
    void LayoutControls();

    QWidget* m_pOwner;
    bool m_bInitialised = false;
};

} // namespace kolvex
