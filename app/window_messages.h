// The program's own window messages 0xC01..0xC0E as Qt events: the type of
// the event is the message number. The players' messages live with the
// player glue, full screen (0xC04), volume (0xC0C) and seek (0xC0D) with
// the controls that send them; the others are sent by the lists and dialogs.
#pragma once

#include "controls/control_messages.h"
#include "playback/qt/player_messages.h"

#include <QEvent>
#include <QtGlobal>

enum WindowMessage : int {
    WM_LANGUAGE_CHANGED = 0xC02, // posted by the configuration dialog
    WM_PLAYER_RESERVED = 0xC03,  // no sender
    WM_RESTORE_CONTROLS = 0xC05, // no sender
    WM_OPEN_GROUP = 0xC09,       // sent by the group list, wParam the row
    WM_OPEN_FILE = 0xC0A,        // sent by the file list, wParam the row
    WM_MAP_CHANGED = 0xC0B,      // posted by the configuration dialog
};

class CWindowMessageEvent : public QEvent {
public:
    explicit CWindowMessageEvent(int message, qint64 wParam = 0, qint64 lParam = 0)
        : QEvent(static_cast<QEvent::Type>(message)), m_nWParam(wParam), m_nLParam(lParam) {}

    qint64 m_nWParam;
    qint64 m_nLParam;
};
