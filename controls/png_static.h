// A skin picture stretched to the control's size, in colour or through the
// grey colour matrix: the GPS status picture, the logo and the banner.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

namespace kolvex {

class CPngStatic : public QWidget {
    Q_OBJECT

public:
    explicit CPngStatic(QWidget* parent = nullptr);

    // Replaces m_pImage with skin picture `resourceId`; when the skin has
    // none, m_pImage is left empty (null) and false is returned. Schedules a
    // repaint.
    bool LoadFromResource(int resourceId);
    // m_bActive = active, then schedules a repaint.
    void SetActive(bool active);

    // Owners may also write these and call update().
    std::unique_ptr<QImage> m_pImage; // null: nothing is drawn
    bool m_bActive = false;           // true: colour, false: grey

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kolvex
