// The window's one tooltip: for each registered control its text in bold,
// beside the control's 32 x 32 picture when one is recorded for it, and a
// description below a separator when one is recorded. The tip is a window
// of its own, sized to its whole text in any language.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace kolvex {

// The extras of one control's tip: a description under the label and a
// picture beside it (0 = none).
struct ToolTipImageRecord {
    QWidget* control = nullptr;
    unsigned descriptionId = 0; // string id
    int iconId = 0;             // skin picture id
};

// The shown tip: picture, bold label, separator and description.
class CToolTipWindow : public QWidget {
public:
    CToolTipWindow();
    void SetContent(const QImage& icon, const QString& label, const QString& description);

    static constexpr int kIconSize = 32;
    static constexpr int kDescriptionWidth = 200;
    QImage m_icon;
    QString m_strLabel;
    QString m_strDescription;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont LabelFont() const;
    QRect LabelRect() const;
    QRect DescriptionRect() const;
};

class CTavloToolTipCtrl : public QObject {
public:
    explicit CTavloToolTipCtrl(QObject* parent = nullptr);
    ~CTavloToolTipCtrl() override;

    // Registers `control` with `text` as its label; the whole control is the
    // tool.
    void AddTool(QWidget* control, const QString& text);
    // Unregisters the first registration of `control`.
    void DelTool(QWidget* control);
    void RemoveAllTools();
    void AddToolImage(const ToolTipImageRecord& record) { m_toolImages.append(record); }
    void RemoveAllToolImages() { m_toolImages.clear(); }

    // Shows the tip of `control` near `globalPos`; false when it is no tool.
    bool ShowTip(QWidget* control, const QPoint& globalPos);
    void HideTip();
    CToolTipWindow& TipWindow() { return m_tipWindow; }

    QList<QPointer<QWidget>> m_toolWindows;
    QList<ToolTipImageRecord> m_toolImages;
    // The control whose tip was shown last.
    QPointer<QWidget> m_pShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const ToolTipImageRecord* RecordOf(QWidget* control) const;

    CToolTipWindow m_tipWindow;
    QTimer m_hideTimer;
};

} // namespace kolvex
