#include "info_panel.h"

#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>

namespace kolvex {

namespace {

QString KeyName(QKeyCombination key) {
    return QKeySequence(key).toString(QKeySequence::NativeText);
}

QString Pair(QKeyCombination first, QKeyCombination second) {
    return KeyName(first) + QStringLiteral(" / ") + KeyName(second);
}

} // namespace

InfoLines CInfoPanel::ShortcutLines() {
    using K = Qt::Key;
    return {
        {KeyName(K::Key_Space) + QStringLiteral(", ") + KeyName(K::Key_Return),
         LoadLangString(StringId::KeysPlayPause)},
        {Pair(K::Key_Left, K::Key_Right), LoadLangString(StringId::KeysSeekSeconds)},
        {Pair(Qt::SHIFT | K::Key_Left, Qt::SHIFT | K::Key_Right),
         LoadLangString(StringId::KeysSeekMinute)},
        {KeyName(K::Key_Home), LoadLangString(StringId::KeysSeekStart)},
        {Pair(K::Key_Up, K::Key_Down), LoadLangString(StringId::KeysVolume)},
        {KeyName(K::Key_M), LoadLangString(StringId::KeysMute)},
        {KeyName(K::Key_F), LoadLangString(StringId::KeysFullScreen)},
        {KeyName(K::Key_Escape), LoadLangString(StringId::KeysLeaveFull)},
        {Pair(K::Key_PageUp, K::Key_PageDown), LoadLangString(StringId::KeysRecording)},
        {Pair(K::Key_Plus, K::Key_Minus), LoadLangString(StringId::KeysRate)},
        {KeyName(Qt::CTRL | K::Key_O), LoadLangString(StringId::KeysOpen)},
        {KeyName(K::Key_T), LoadLangString(StringId::TripTitle)},
        {KeyName(K::Key_F1), LoadLangString(StringId::KeysHelp)},
    };
}

CInfoPanel::CInfoPanel(QWidget* parent, const QString& title, const InfoLines& lines)
    : QFrame(parent, Qt::Popup), m_strTitle(title) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setObjectName(QStringLiteral("infoPanel"));
    setStyleSheet(
        QStringLiteral("QFrame#infoPanel { background: #202020; border: 1px solid #707070; }"
                       "QLabel { color: #e0e0e0; background: transparent; }"
                       "QLabel#title { font-weight: bold; padding-bottom: 4px; }"));
    setAccessibleName(m_strTitle);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 10, 14, 12);
    grid->setHorizontalSpacing(18);
    auto* heading = new QLabel(m_strTitle, this);
    heading->setObjectName(QStringLiteral("title"));
    grid->addWidget(heading, 0, 0, 1, 2);
    int row = 1;
    for (const auto& [left, right] : lines) {
        grid->addWidget(new QLabel(left, this), row, 0);
        grid->addWidget(new QLabel(right, this), row, 1);
        ++row;
    }
}

void CInfoPanel::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

} // namespace kolvex
