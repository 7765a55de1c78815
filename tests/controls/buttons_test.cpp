// The image buttons' faces over the skin behind them, their toggles,
// clicks and keys, and the window's tooltip with its bookkeeping.
#include "gdip_button.h"
#include "pixel_checks.h"
#include "skin_image.h"
#include "tavlo_tool_tip_ctrl.h"

#include <QDialog>
#include <QHelpEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace kolvex;
using kolvex::testing::changedArea;
using kolvex::testing::channelDistance;

namespace {

constexpr int kPlay = 129;
constexpr int kPause = 132;
constexpr QRgb kSkin = qRgb(20, 60, 110); // a coloured skin shows whose pixels a face holds

class Skin : public QDialog {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(kSkin)); }
};

struct Fixture {
    Fixture() {
        button.setGeometry(20, 20, 64, 64);
        window.resize(200, 120);
        window.show();
    }
    Skin window;
    CGdipButton& button = *new CGdipButton(&window);
};

QImage Face(CGdipButton& button) {
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Sum of the colour channels over the pixels where `picture` is opaque.
long long Brightness(const QImage& face, const QImage& picture) {
    long long sum = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) == 255) {
                const QRgb p = face.pixel(x, y);
                sum += qRed(p) + qGreen(p) + qBlue(p);
            }
    return sum;
}

} // namespace

class ButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void facesOverTheSkin() {
        Fixture f;
        QVERIFY(f.button.SetStandardImage(kPlay));
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QImage picture = skin::loadImage(kPlay).convertToFormat(QImage::Format_ARGB32);
        const QImage normal = Face(f.button);
        // Where the picture is clear, the skin behind the button shows.
        QCOMPARE(normal.pixel(0, 0), kSkin);
        QVERIFY(!changedArea(normal, kSkin).isEmpty());

        f.button.m_bHover = 1;
        const QImage hover = Face(f.button);
        QVERIFY(Brightness(hover, picture) > Brightness(normal, picture) * 102 / 100);

        f.button.m_bHover = 0;
        f.button.setDown(true);
        const QImage pressed = Face(f.button);
        // One pixel right and down.
        for (int y = 0; y < 63; ++y)
            for (int x = 0; x < 63; ++x)
                QVERIFY2(channelDistance(pressed.pixel(x + 1, y + 1), normal.pixel(x, y)) <= 1,
                         qPrintable(QString("at %1, %2").arg(x).arg(y)));

        // Grey, also while pressed and hovered; the skin keeps its colour.
        f.button.m_bHover = 1;
        f.button.m_bDisabled = 1;
        const QImage grey = Face(f.button);
        QCOMPARE(grey.pixel(0, 0), kSkin);
        int opaque = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (qAlpha(picture.pixel(x, y)) == 255) {
                    const QRgb p = grey.pixel(x, y);
                    QVERIFY(std::abs(qRed(p) - qGreen(p)) <= 1 &&
                            std::abs(qGreen(p) - qBlue(p)) <= 1);
                    ++opaque;
                }
        QVERIFY(opaque > 500);
        f.button.setDown(false);
    }

    void aMissingPictureShowsOnlyTheSkin() {
        Fixture f;
        QVERIFY(!f.button.SetStandardImage(99999));
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        for (int state = 0; state < 3; ++state) {
            f.button.m_bHover = state == 1;
            f.button.setDown(state == 2);
            QCOMPARE(changedArea(Face(f.button), kSkin, 0), QRect());
        }
    }

    void aToggleFlipsOnEveryPress() {
        Fixture f;
        f.button.SetStandardImage(kPlay);
        f.button.SetAlternateImage(kPause);
        f.button.MakeToggle();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QImage play = Face(f.button);
        QTest::mouseClick(&f.button, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(f.button.m_bAltState, 1);
        const QImage pause = Face(f.button);
        QVERIFY(kolvex::testing::meanDifference(play, pause) > 1.0);
        QTest::mouseClick(&f.button, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(f.button.m_bAltState, 0);
        // Grey buttons do not flip.
        f.button.m_bDisabled = 1;
        QTest::mouseClick(&f.button, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(f.button.m_bAltState, 0);
    }

    void aQuickSecondClickCountsAsAPress() {
        Fixture f;
        f.button.SetStandardImage(kPlay);
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QSignalSpy clicks(&f.button, &QAbstractButton::clicked);
        const QPointF at(30, 30);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                        QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held =
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, at, f.button.mapToGlobal(at), Qt::LeftButton, held,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(&f.button, &event);
        }
        QCOMPARE(clicks.count(), 2);
    }

    // A click from code (the window's keys) shows the new picture without
    // any other repaint: the toggle is what the user sees.
    void aClickFromCodeRepaintsTheToggledPicture() {
        Fixture f;
        f.button.SetStandardImage(kPlay);
        f.button.SetAlternateImage(kPause);
        f.button.MakeToggle();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QTRY_VERIFY(f.button.CurrentFace() != nullptr);
        const QImage play = f.button.CurrentFace()->convertToFormat(QImage::Format_RGB32);
        f.button.click();
        QCOMPARE(f.button.m_bAltState, 1);
        QTRY_VERIFY(kolvex::testing::meanDifference(
                        f.button.CurrentFace()->convertToFormat(QImage::Format_RGB32), play) > 1.0);
    }

    // The keyboard focus shows as a frame along the whole edge, far from
    // the skin's and the picture's colours.
    void theFocusFrameIsClearlyVisible() {
        Fixture f;
        f.button.SetStandardImage(kPlay);
        auto* other = new CGdipButton(&f.window);
        other->setGeometry(100, 20, 64, 64);
        other->show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        // The window's own choice of a first focus is not marked.
        f.button.setFocus(Qt::ActiveWindowFocusReason);
        QVERIFY(f.button.hasFocus());
        const QImage activated = Face(f.button);
        other->setFocus(Qt::TabFocusReason);
        const QImage unfocused = Face(f.button);
        f.button.setFocus(Qt::TabFocusReason);
        QVERIFY(f.button.hasFocus());
        const QImage focused = Face(f.button);
        int edge = 0, marked = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                // The middle of the frame's width, corners left out.
                const bool onEdge = (x == 1 || x == 62 || y == 1 || y == 62) && x > 4 && x < 59;
                const bool onEdgeV = (x == 1 || x == 62) && y > 4 && y < 59;
                if (!onEdge && !onEdgeV)
                    continue;
                ++edge;
                if (channelDistance(focused.pixel(x, y), unfocused.pixel(x, y)) >= 100)
                    ++marked;
            }
        QVERIFY2(marked == edge, qPrintable(QString("%1 of %2").arg(marked).arg(edge)));
        QCOMPARE(activated, unfocused);
        // Inside the frame the face is as before.
        QVERIFY(channelDistance(focused.pixel(32, 32), unfocused.pixel(32, 32)) <= 1);
    }

    void keysPressButtonsAsForAnyPushButton() {
        Fixture f;
        auto* other = new CGdipButton(&f.window);
        other->setGeometry(100, 20, 64, 64);
        f.button.setDefault(true);
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QSignalSpy defaultClicks(&f.button, &QAbstractButton::clicked);
        QSignalSpy otherClicks(other, &QAbstractButton::clicked);
        QTest::keyClick(&f.window, Qt::Key_Return);
        QCOMPARE(defaultClicks.count(), 1);
        // Tab reaches a button; Space presses the focused one.
        other->setFocus(Qt::TabFocusReason);
        QTest::keyClick(other, Qt::Key_Space);
        QCOMPARE(otherClicks.count(), 1);
        QCOMPARE(f.button.focusPolicy(), Qt::TabFocus);
    }

    void toolRegistrationBookkeeping() {
        QWidget a, b;
        CTavloToolTipCtrl tips;
        tips.AddTool(&a, "Open files");
        tips.AddTool(&b, "Stop");
        tips.AddTool(&a, "Open files");
        QCOMPARE(tips.m_toolWindows.size(), 3);
        tips.DelTool(&a);
        QCOMPARE(tips.m_toolWindows.size(), 2);
        QCOMPARE(tips.m_toolWindows.front().data(), &b); // the first registration went
        QCOMPARE(a.toolTip(), QString("Open files"));    // still registered once
        tips.RemoveAllTools();
        QVERIFY(tips.m_toolWindows.isEmpty());
        QVERIFY(a.toolTip().isEmpty() && b.toolTip().isEmpty());
        QVERIFY(!tips.ShowTip(&a, QPoint(10, 10)));
    }

    void theTipShowsItsLabelInBoldWithThePicture() {
        QWidget window;
        window.resize(200, 100);
        auto* withIcon = new QWidget(&window);
        withIcon->setGeometry(0, 0, 50, 50);
        auto* withoutIcon = new QWidget(&window);
        withoutIcon->setGeometry(100, 0, 50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CTavloToolTipCtrl tips;
        tips.AddTool(withIcon, "Snapshot");
        tips.AddTool(withoutIcon, "Stop");
        tips.AddToolImage({withIcon, 0, 161});

        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), withIcon->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(withIcon, &help);
        CToolTipWindow& tip = tips.TipWindow();
        QCOMPARE(tips.m_pShown.data(), withIcon);
        QVERIFY(tip.isVisible());
        QCOMPARE(tip.m_strLabel, QString("Snapshot"));
        QVERIFY(tip.m_strDescription.isEmpty());
        const QImage shot = tip.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(shot.save(QString(KOLVEX_SCREENSHOT_DIR) + "/tooltip.png"));
        // The picture, opaque, at the top-left inside the padding.
        const QImage icon = skin::loadImage(161).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.pixel(4 + 16, 4 + 16), icon.pixel(16, 16));
        QVERIFY(tip.width() >= 4 + 32 + QFontMetrics(tip.font()).horizontalAdvance("Snapshot"));

        // Leaving the control hides it; a control without a record has no
        // picture.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(withIcon, &leave);
        QVERIFY(!tip.isVisible());
        QHelpEvent other(QEvent::ToolTip, QPoint(5, 5), withoutIcon->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(withoutIcon, &other);
        QVERIFY(tip.isVisible());
        QVERIFY(tip.m_icon.isNull());
        QVERIFY(tip.height() < 32);
        tips.HideTip();
    }
};

QTEST_MAIN(ButtonsTest)
#include "buttons_test.moc"
