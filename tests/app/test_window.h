// The main window on a monitor the test chooses, without the web map.
#pragma once

#include "app/kolvex_dlg.h"

namespace kolvex::testing {

class TestWindow : public CKolvexDlg {
public:
    explicit TestWindow(QRect monitor = QRect(0, 0, 1920, 1080))
        : CKolvexDlg(Options{false, {}}), m_monitor(monitor) {
        OnInitDialog();
    }
    QRect MonitorRect() const override { return m_monitor; }
    // A client size as the size notification would lay it out.
    void SizeTo(int width, int height) {
        setGeometry(QRect(geometry().topLeft(), QSize(width, height)));
    }
    QRect m_monitor;
};

} // namespace kolvex::testing
