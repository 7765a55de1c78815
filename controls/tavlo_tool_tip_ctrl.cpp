#include "tavlo_tool_tip_ctrl.h"

#include "resources/skin/skin_image.h"
#include "settings/language_table.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace kolvex {

namespace {

constexpr int kPadding = 4;
constexpr int kGap = 6;
constexpr int kShownMs = 10000;

} // namespace

CToolTipWindow::CToolTipWindow() : QWidget(nullptr, Qt::ToolTip | Qt::BypassGraphicsProxyWidget) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
}

QFont CToolTipWindow::LabelFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

QRect CToolTipWindow::LabelRect() const {
    const QFontMetrics metrics(LabelFont());
    const int iconWidth = m_icon.isNull() ? 0 : kIconSize + kGap;
    const int rowHeight = std::max(m_icon.isNull() ? 0 : kIconSize, metrics.height());
    return QRect(kPadding + iconWidth, kPadding + (rowHeight - metrics.height()) / 2,
                 metrics.horizontalAdvance(m_strLabel) + 1, metrics.height());
}

QRect CToolTipWindow::DescriptionRect() const {
    if (m_strDescription.isEmpty())
        return {};
    const int top =
        kPadding + std::max(m_icon.isNull() ? 0 : kIconSize, LabelRect().height()) + 2 * kGap;
    const QRect bounds = fontMetrics().boundingRect(QRect(0, 0, kDescriptionWidth, 10000),
                                                    Qt::TextWordWrap, m_strDescription);
    return QRect(kPadding, top, bounds.width(), bounds.height());
}

void CToolTipWindow::SetContent(const QImage& icon, const QString& label,
                                const QString& description) {
    m_icon = icon;
    m_strLabel = label;
    m_strDescription = description;
    QRect content = LabelRect();
    if (!m_icon.isNull())
        content |= QRect(kPadding, kPadding, kIconSize, kIconSize);
    content |= DescriptionRect();
    resize(content.right() + 1 + kPadding, content.bottom() + 1 + kPadding);
    update();
}

void CToolTipWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!m_icon.isNull())
        painter.drawImage(QRect(kPadding, kPadding, kIconSize, kIconSize), m_icon);
    painter.setFont(LabelFont());
    painter.drawText(LabelRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     m_strLabel);
    const QRect description = DescriptionRect();
    if (description.isEmpty())
        return;
    const int separator = description.top() - kGap;
    painter.drawLine(kPadding, separator, width() - kPadding - 1, separator);
    painter.setFont(font());
    painter.drawText(description, Qt::TextWordWrap, m_strDescription);
}

CTavloToolTipCtrl::CTavloToolTipCtrl(QObject* parent) : QObject(parent) {
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &CTavloToolTipCtrl::HideTip);
}

CTavloToolTipCtrl::~CTavloToolTipCtrl() {
    for (const QPointer<QWidget>& control : std::as_const(m_toolWindows))
        if (control)
            control->removeEventFilter(this);
}

void CTavloToolTipCtrl::AddTool(QWidget* control, const QString& text) {
    if (!control)
        return;
    m_toolWindows.append(control);
    // The text is the control's tooltip property too: accessibility tools
    // read it as the control's description.
    control->setToolTip(text);
    control->installEventFilter(this);
}

void CTavloToolTipCtrl::DelTool(QWidget* control) {
    const qsizetype index = m_toolWindows.indexOf(control);
    if (index < 0)
        return;
    m_toolWindows.removeAt(index);
    if (control && !m_toolWindows.contains(control)) {
        control->removeEventFilter(this);
        control->setToolTip(QString());
        if (m_pShown == control)
            HideTip();
    }
}

void CTavloToolTipCtrl::RemoveAllTools() {
    const QList<QPointer<QWidget>> tools = m_toolWindows;
    for (const QPointer<QWidget>& control : tools)
        DelTool(control);
    m_toolWindows.clear();
}

const ToolTipImageRecord* CTavloToolTipCtrl::RecordOf(QWidget* control) const {
    for (const ToolTipImageRecord& record : m_toolImages)
        if (record.control == control)
            return &record;
    return nullptr;
}

bool CTavloToolTipCtrl::ShowTip(QWidget* control, const QPoint& globalPos) {
    if (!control || !m_toolWindows.contains(control))
        return false;
    m_pShown = control;
    const ToolTipImageRecord* record = RecordOf(control);
    const QImage icon = record && record->iconId != 0 ? skin::loadImage(record->iconId) : QImage();
    const QString description =
        record && record->descriptionId != 0 ? LoadLangString(record->descriptionId) : QString();
    m_tipWindow.SetContent(icon, control->toolTip(), description);
    // Below the pointer, kept on its screen.
    QPoint at = globalPos + QPoint(2, 16);
    if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(),
                           std::max(area.left(), area.right() + 1 - m_tipWindow.width())));
        if (at.y() + m_tipWindow.height() > area.bottom() + 1)
            at.setY(globalPos.y() - 4 - m_tipWindow.height());
    }
    m_tipWindow.move(at);
    m_tipWindow.show();
    m_tipWindow.raise();
    m_hideTimer.start(kShownMs);
    return true;
}

void CTavloToolTipCtrl::HideTip() {
    m_hideTimer.stop();
    m_tipWindow.hide();
}

bool CTavloToolTipCtrl::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip:
        if (watched->isWidgetType() &&
            ShowTip(static_cast<QWidget*>(watched), static_cast<QHelpEvent*>(event)->globalPos()))
            return true;
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::Hide:
        if (watched == m_pShown)
            HideTip();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kolvex
