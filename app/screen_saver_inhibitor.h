// Keeps the desktop's screen saver from starting while a video plays,
// through the freedesktop.org ScreenSaver service on the session bus where
// it exists; without it nothing happens. The inhibition ends when asked,
// and at the latest with this object.
#pragma once

#include <QString>
#include <cstdint>

namespace kolvex {

class CScreenSaverInhibitor {
public:
    CScreenSaverInhibitor() = default;
    ~CScreenSaverInhibitor();
    CScreenSaverInhibitor(const CScreenSaverInhibitor&) = delete;
    CScreenSaverInhibitor& operator=(const CScreenSaverInhibitor&) = delete;

    // Inhibits (once; repeated calls keep the one inhibition).
    void Inhibit(const QString& reason);
    void Release();
    bool IsInhibiting() const { return m_bInhibiting; }

private:
    uint32_t m_nCookie = 0;
    bool m_bInhibiting = false;
};

} // namespace kolvex
