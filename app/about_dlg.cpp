#include "about_dlg.h"

#include "dialog_units.h"

#include "resources/skin/skin_image.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>

#ifndef KOLVEX_VERSION
#error "KOLVEX_VERSION comes from the build (project version)"
#endif
#ifndef KOLVEX_BUILD_DATE
#error "KOLVEX_BUILD_DATE comes from the build"
#endif

namespace kolvex {

namespace {
constexpr int kIconId = 128;
constexpr int kIconSize = 32;
} // namespace

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(CaptionFromMenuText(LoadLangString(StringId::AboutCaption)));
    m_icon = new QLabel(this);
    m_icon->setPixmap(skin::appIcon().pixmap(kIconSize, kIconSize));
    m_version = new QLabel(VersionLine(), this);
    m_version->setObjectName(QStringLiteral("VersionLine")); // control 1051
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text = new QLabel(QStringLiteral("Dash-camera recordings with their GPS track and "
                                       "G-sensor curves"),
                        this);
    m_btnOk = new QPushButton(LoadLangString(StringId::ButtonOk), this);
    m_btnOk->setDefault(true);
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
    LayoutControls();
}

QString CAboutDlg::VersionLine() {
    return QStringLiteral("KOLVEX Version %1 (%2)")
        .arg(QStringLiteral(KOLVEX_VERSION), QStringLiteral(KOLVEX_BUILD_DATE));
}

QString CAboutDlg::CaptionFromMenuText(QString text) {
    static const QRegularExpression bracketedMnemonic(QStringLiteral("\\(&.\\)"));
    text.remove(bracketedMnemonic);
    text.remove(u'&');
    text = text.trimmed();
    while (text.endsWith(u'.') || text.endsWith(u'\u2026'))
        text.chop(1);
    return text.trimmed();
}

void CAboutDlg::LayoutControls() {
    // The classic About template: 170 x 62 units, icon at the left, two
    // lines of text beside it, OK below on the right; wider when the text
    // needs it.
    m_icon->setGeometry(DluToPixelsX(11), DluToPixelsY(14), kIconSize, kIconSize);
    const int textLeft = DluToPixelsX(40);
    const int textWidth =
        std::max({DluToPixelsX(119), m_version->sizeHint().width(), m_text->sizeHint().width()});
    const int lineHeight = std::max(DluToPixelsY(8), m_version->sizeHint().height());
    m_version->setGeometry(textLeft, DluToPixelsY(14), textWidth, lineHeight);
    m_text->setGeometry(textLeft, DluToPixelsY(14) + lineHeight + DluToPixelsY(4), textWidth,
                        lineHeight);
    const int width = textLeft + textWidth + DluToPixelsX(11);
    const int okWidth =
        std::max(DluToPixelsX(50), m_btnOk->fontMetrics().horizontalAdvance(m_btnOk->text()) + 16);
    const int okHeight = std::max(DluToPixelsY(14), m_btnOk->sizeHint().height());
    const int okTop = std::max(DluToPixelsY(41), m_text->geometry().bottom() + DluToPixelsY(6));
    m_btnOk->setGeometry(width - DluToPixelsX(7) - okWidth, okTop, okWidth, okHeight);
    setFixedSize(width, okTop + okHeight + DluToPixelsY(7));
}

} // namespace kolvex
