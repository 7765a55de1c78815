// The position and volume sliders: where a press puts the thumb, which
// messages reach the parent and when, and what they paint.
#include "control_messages.h"
#include "my_slider_control.h"
#include "pixel_checks.h"
#include "video_slider.h"

#include <QPainter>
#include <QTest>

using namespace kolvex;
using kolvex::testing::channelDistance;

namespace {

// The parent: counts the slider messages and notes the slider's value when
// each arrives, as the main window reads it.
class Host : public QWidget {
public:
    QList<int> seeks;
    QList<int> volumes;
    QAbstractSlider* slider = nullptr;
    QColor skin{30, 90, 30};

protected:
    bool event(QEvent* event) override {
        if (event->type() == static_cast<QEvent::Type>(WM_SEEK_CHANGED)) {
            seeks.append(slider->value());
            return true;
        }
        if (event->type() == static_cast<QEvent::Type>(WM_VOLUME_CHANGED)) {
            volumes.append(slider->value());
            return true;
        }
        return QWidget::event(event);
    }
    // Columns of another colour every 10 pixels tell where a pixel came from.
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        for (int x = 0; x < width(); x += 10)
            painter.fillRect(x, 0, 10, height(), x / 10 % 2 ? skin : skin.darker(200));
    }
};

template <typename Slider> struct Fixture {
    explicit Fixture(int maximum) {
        slider.setRange(0, maximum);
        slider.setGeometry(10, 10, 300, 20);
        host.slider = &slider;
        host.resize(400, 60);
        host.show();
    }
    Host host;
    Slider& slider = *new Slider(&host);
};

void Move(QWidget& widget, QPoint to) {
    QMouseEvent event(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

QImage Painted(QWidget& window) {
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class SlidersTest : public QObject {
    Q_OBJECT

private slots:
    void aPressPutsTheThumbWhereItLands_data() {
        QTest::addColumn<int>("fraction"); // per mille of the channel
        QTest::addColumn<int>("position");
        QTest::newRow("left end") << 0 << 0;
        QTest::newRow("quarter") << 250 << 250;
        QTest::newRow("right end") << 1000 << 1000;
    }
    void aPressPutsTheThumbWhereItLands() {
        QFETCH(int, fraction);
        QFETCH(int, position);
        Fixture<CVideoSlider> f(1000);
        QVERIFY(QTest::qWaitForWindowExposed(&f.host));
        const QRect channel = f.slider.ChannelRect();
        const int x = channel.left() + channel.width() * fraction / 1000;
        QTest::mousePress(&f.slider, Qt::LeftButton, {}, QPoint(x, 10));
        QCOMPARE(f.slider.value(), position);
        QVERIFY(f.host.seeks.isEmpty()); // a click seeks once, on release
        QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, QPoint(x, 10));
        QCOMPARE(f.host.seeks, QList<int>{position});
    }

    void dragsSendOnePositionPerMoveAndHoldTheEnds() {
        Fixture<CVideoSlider> f(1000);
        QVERIFY(QTest::qWaitForWindowExposed(&f.host));
        QTest::mousePress(&f.slider, Qt::LeftButton, {}, QPoint(150, 10));
        Move(f.slider, QPoint(-50, 10));
        Move(f.slider, QPoint(f.slider.ChannelRight() - 1 - 0, 10));
        Move(f.slider, QPoint(900, 10));
        QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, QPoint(900, 10));
        QCOMPARE(f.host.seeks.size(), 4);
        QCOMPARE(f.host.seeks.front(), 0);
        QVERIFY(f.host.seeks[1] > 990 && f.host.seeks[1] < 1000);
        QCOMPARE(f.host.seeks.back(), 1000);
        // Without a press, moves send nothing.
        Move(f.slider, QPoint(100, 10));
        QCOMPARE(f.host.seeks.size(), 4);
    }

    void volumeSendsOnReleaseWithoutRecomputing() {
        Fixture<CMySliderControl> f(100);
        f.slider.setValue(100);
        QVERIFY(QTest::qWaitForWindowExposed(&f.host));
        const QRect channel = f.slider.ChannelRect();
        const int half = channel.left() + channel.width() / 2;
        QTest::mousePress(&f.slider, Qt::LeftButton, {}, QPoint(half, 10));
        QCOMPARE(f.slider.value(), 50);
        QVERIFY(f.host.volumes.isEmpty());
        QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, QPoint(half + 60, 10));
        QCOMPARE(f.host.volumes, QList<int>{50});
        QTest::mousePress(&f.slider, Qt::LeftButton, {}, QPoint(half, 10));
        Move(f.slider, QPoint(channel.left(), 10));
        QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, QPoint(channel.left(), 10));
        QCOMPARE(f.host.volumes, (QList<int>{50, 0, 0}));
    }

    void thePositionSliderPaintsItsThumbAndChannel() {
        Fixture<CVideoSlider> f(1000);
        f.slider.setValue(500);
        QVERIFY(QTest::qWaitForWindowExposed(&f.host));
        QImage image = Painted(f.slider);
        const QPoint thumb = f.slider.ThumbRect().center();
        QCOMPARE(image.pixel(thumb), qRgb(100, 250, 100));
        QCOMPARE(image.pixel(20, 10), qRgb(0, 0, 0)); // the channel is black
        QTest::mousePress(&f.slider, Qt::LeftButton, {}, thumb);
        image = Painted(f.slider);
        QCOMPARE(image.pixel(f.slider.ThumbRect().center()), qRgb(240, 0, 180));
        QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, thumb);
    }

    void theVolumeSliderShowsTheSkinWhereverItStands() {
        Fixture<CMySliderControl> f(100);
        f.slider.setValue(100);
        QVERIFY(QTest::qWaitForWindowExposed(&f.host));
        QImage image = Painted(f.host);
        // Top-left corner of the slider: the skin column behind it.
        QCOMPARE(image.pixel(12, 11), image.pixel(12, 45));
        QCOMPARE(image.pixel(f.slider.geometry().topLeft() + f.slider.ThumbRect().center()),
                 qRgb(255, 0, 0));
        // Moved by five pixels: the columns behind it move too.
        f.slider.move(15, 10);
        image = Painted(f.host);
        for (int x = 15; x < 300; x += 5)
            QCOMPARE(image.pixel(x, 11), image.pixel(x, 45));
    }
};

QTEST_MAIN(SlidersTest)
#include "sliders_test.moc"
