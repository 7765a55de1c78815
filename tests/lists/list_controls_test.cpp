// The file and group lists: cell texts, lock icons, ticks read by the
// library, the current row, double-clicks and relabelling.
#include "card_fixture.h"
#include "local_time.h"

#include "app/window_messages.h"
#include "library/recording_manager.h"
#include "lists/file_list_ctrl.h"
#include "lists/group_list_ctrl.h"
#include "lists/lock_icons.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QStyle>
#include <QTest>

#include <ctime>
#include <ostream>
#include <vector>

// Cell texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace kolvex::testing {
namespace {

// The main window as the lists see it: it records the messages they send.
class MessageSink : public QWidget {
public:
    struct Message {
        int type;
        qint64 wParam;
    };
    std::vector<Message> messages;

protected:
    bool event(QEvent* event) override {
        const int type = static_cast<int>(event->type());
        if (type == WM_OPEN_FILE || type == WM_OPEN_GROUP) {
            messages.push_back({type, static_cast<CWindowMessageEvent*>(event)->m_nWParam});
            return true;
        }
        return QWidget::event(event);
    }
};

// Both lists in a window, set up as the main window sets them up.
class ListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The times below are Berlin's, also when the test runs on its own.
        qputenv("TZ", "Europe/Berlin");
        tzset();
        CAppSettings::GetInstance().SetLanguage(kEnglishIndex);
        window.resize(900, 700);
        files = new CKolvexFileListCtrl(&window);
        groups = new CKolvexGroupListCtrl(&window);
        groups->setGeometry(0, 0, 500, 200);
        files->setGeometry(0, 210, 500, 300);
        groups->SetReportStyle();
        groups->AttachLockImages();
        groups->InitColumns();
        files->SetReportStyle();
        files->AttachLockImages();
        files->InitColumns();
        window.show();
    }
    void TearDown() override { CAppSettings::GetInstance().SetLanguage(kEnglishIndex); }

    static QStringList RowTexts(const QAbstractItemView* view, int row) {
        QStringList texts;
        const QAbstractItemModel* model = view->model();
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->index(row, column).data().toString();
        return texts;
    }
    static QStringList Headers(const QAbstractItemView* view) {
        QStringList texts;
        const QAbstractItemModel* model = view->model();
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->headerData(column, Qt::Horizontal).toString();
        return texts;
    }
    static QImage IconOf(const QAbstractItemView* view, int row) {
        const QIcon icon = view->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
        return icon.pixmap(kLockIconSize, kLockIconSize)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32);
    }

    MessageSink window;
    CKolvexFileListCtrl* files = nullptr;
    CKolvexGroupListCtrl* groups = nullptr;
};

TEST_F(ListsTest, FileRowsShowNumberingTimesSizesAndFolder) {
    struct Case {
        const char* what;
        int group, index;
        uint32_t durationMs;
        int64_t length;
        int64_t start;
        QStringList expected;
    };
    const Case cases[] = {
        {"third file of the second group, just under 1 MB",
         1,
         2,
         60000,
         1048575,
         LocalSeconds(2015, 6, 1, 10, 0, 0),
         {"G1-2", "FILE0003.MOV", "10:00:00", "10:01:00", " 0 MB", "/card/DCIM/"}},
        {"5,000,000 bytes are 4 MB",
         0,
         0,
         1000,
         5000000,
         LocalSeconds(2015, 6, 1, 8, 30, 5),
         {"G0-0", "FILE0003.MOV", "08:30:05", "08:30:06", " 4 MB", "/card/DCIM/"}},
        {"an end past midnight, the duration truncated to whole seconds",
         3,
         7,
         45999,
         0,
         LocalSeconds(2015, 6, 1, 23, 59, 30),
         {"G3-7", "FILE0003.MOV", "23:59:30", "00:00:15", " 0 MB", "/card/DCIM/"}},
        // The epoch in Berlin is one in the morning.
        {"no date: the epoch in local time",
         0,
         1,
         61000,
         1 << 20,
         0,
         {"G0-1", "FILE0003.MOV", "01:00:00", "01:01:01", " 1 MB", "/card/DCIM/"}},
    };
    for (const Case& c : cases) {
        files->DeleteAllItems();
        ASSERT_TRUE(files->AddFile(c.group, c.index, "/card/DCIM/", "FILE0003.MOV", c.durationMs,
                                   c.length, 0, c.start));
        EXPECT_EQ(RowTexts(files, 0), c.expected) << c.what;
    }
}

TEST_F(ListsTest, GroupRowsShowNumberResolutionStartLengthAndSize) {
    const int64_t start = LocalSeconds(2015, 6, 1, 10, 0, 0);
    // Three recordings of 60,000, 60,000 and 59,999 ms.
    groups->AddGroup(0, "1920x1080", 179999, 3 * 1048576 + 5, 0, start);
    groups->AddGroup(1, "", 999, 1048575, 0, 0);
    EXPECT_EQ(RowTexts(groups, 0),
              QStringList({"G0", "1920x1080", "2015-06-01 10:00:00", " 179 s ", " 3 MB"}));
    EXPECT_EQ(RowTexts(groups, 1),
              QStringList({"G1", "", "1970-01-01 01:00:00", " 0 s ", " 0 MB"}));
}

TEST_F(ListsTest, ColumnsHaveTheirHeadersAndWidthsAtInsertion) {
    EXPECT_EQ(Headers(files),
              QStringList({"ID", "File Name", "Start Time", "End Time", "File Size", "Folder"}));
    EXPECT_EQ(Headers(groups),
              QStringList({"Group", "Resolution", "Start Time", "Length", "File Size"}));
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(files->columnWidth(column), 500 * 3 / 10) << column;
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(groups->columnWidth(column), 500 / 5) << column;
    EXPECT_FALSE(files->isSortingEnabled());
    EXPECT_FALSE(files->horizontalHeader()->sectionsClickable());
    EXPECT_TRUE(files->showGrid());
    EXPECT_EQ(files->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(ListsTest, LockIconsFollowTheFlags) {
    const LockIcons icons = LoadLockIcons();
    for (int flags = 0; flags < 4; ++flags) {
        files->AddFile(0, flags, "", "F", 0, 0, flags, 0);
        groups->AddGroup(flags, "", 0, 0, flags, 0);
    }
    std::vector<QImage> seen;
    for (int flags = 0; flags < 4; ++flags) {
        const QImage expected = icons[static_cast<size_t>(flags)]
                                    .pixmap(kLockIconSize, kLockIconSize)
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(expected.isNull());
        EXPECT_EQ(IconOf(files, flags), expected) << flags;
        EXPECT_EQ(IconOf(groups, flags), expected) << flags;
        seen.push_back(expected);
    }
    // Image 0 shows nothing; the other three differ from it and each other.
    for (int y = 0; y < kLockIconSize; ++y)
        for (int x = 0; x < kLockIconSize; ++x)
            ASSERT_EQ(qAlpha(seen[0].pixel(x, y)), 0) << x << "," << y;
    for (size_t a = 0; a < 4; ++a)
        for (size_t b = a + 1; b < 4; ++b)
            EXPECT_NE(seen[a], seen[b]) << a << " " << b;
    // Only the group list has check boxes.
    EXPECT_FALSE(files->model()->index(0, 0).data(Qt::CheckStateRole).isValid());
    EXPECT_EQ(groups->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

TEST_F(ListsTest, TicksClickedInTheListReachTheLibraryAndLastUntilTheNextLoad) {
    TempCard card;
    card.AddRecording("DCIM/FILA0001.AVI", "2015-06-01 10:00:00", 60000);
    card.AddRecording("DCIM/FILA0002.AVI", "2015-06-01 11:00:00", 60000);
    card.AddRecording("DCIM/FILA0003.AVI", "2015-06-01 12:00:00", 60000);
    CRecordingManager library;
    library.Init(groups, files, nullptr, nullptr, nullptr);
    ASSERT_EQ(library.Load(card.Root(), QString()), 1);
    ASSERT_EQ(groups->ItemCount(), 3);
    ASSERT_EQ(files->ItemCount(), 3);
    EXPECT_EQ(library.MarkCheckedGroups(), 0);

    // A click on the check box of group 2, as the user ticks it.
    const QRect cell = groups->visualRect(groups->model()->index(2, 0));
    const int indicator = groups->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    const int margin = groups->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {},
                      QPoint(cell.left() + margin + indicator / 2, cell.center().y()));
    ASSERT_TRUE(groups->IsChecked(2));
    EXPECT_FALSE(groups->IsChecked(0));

    // A language change renames the columns only.
    CAppSettings::GetInstance().SetLanguage(4);
    groups->RelabelColumns();
    EXPECT_EQ(library.MarkCheckedGroups(), 1);
    EXPECT_EQ(library.Groups()[2].isChecked, 1);
    EXPECT_EQ(library.Groups()[0].isChecked, 0);
    EXPECT_EQ(library.Groups()[1].isChecked, 0);

    ASSERT_EQ(library.Load(card.Root(), QString()), 1);
    EXPECT_FALSE(groups->IsChecked(2));
    EXPECT_EQ(library.MarkCheckedGroups(), 0);
}

TEST_F(ListsTest, TheCurrentRowIsHighlightedAndScrolledIntoView) {
    for (int i = 0; i < 300; ++i)
        files->AddFile(i / 5, i % 5, "/card/", QStringLiteral("FILE%1.MOV").arg(i), 60000, 1 << 20,
                       0, LocalSeconds(2015, 6, 1, 10, 0, 0) + i * 60);
    const QBrush highlight = files->palette().brush(QPalette::Active, QPalette::Highlight);
    files->SetDropHighlight(250, true);
    files->EnsureVisible(250);
    EXPECT_EQ(files->model()->index(250, 3).data(Qt::BackgroundRole).value<QBrush>(), highlight);
    EXPECT_FALSE(files->model()->index(249, 3).data(Qt::BackgroundRole).isValid());
    const QRect row = files->visualRect(files->model()->index(250, 0));
    EXPECT_TRUE(files->viewport()->rect().contains(QRect(0, row.top(), 1, row.height())))
        << row.top() << " in " << files->viewport()->height();

    // Moving on clears the old row; -1 clears every row.
    files->SetDropHighlight(250, false);
    files->SetDropHighlight(10, true);
    files->SetDropHighlight(20, true);
    files->EnsureVisible(10);
    EXPECT_FALSE(files->model()->index(250, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(files->viewport()->rect().contains(
        files->visualRect(files->model()->index(10, 0)).center()));
    files->SetDropHighlight(-1, false);
    for (int r : {10, 20})
        EXPECT_FALSE(files->model()->index(r, 0).data(Qt::BackgroundRole).isValid()) << r;
    // Rows that do not exist are ignored.
    files->SetDropHighlight(300, true);
    files->EnsureVisible(-1);
    files->EnsureVisible(300);
}

TEST_F(ListsTest, DoubleClicksSendTheRowOrMinusOne) {
    for (int i = 0; i < 3; ++i) {
        files->AddFile(0, i, "", QStringLiteral("F%1").arg(i), 0, 0, 0, 0);
        groups->AddGroup(i, "", 0, 0, 0, 0);
    }
    struct Case {
        CRecordingListView* list;
        int message;
    };
    for (const Case& c : {Case{files, WM_OPEN_FILE}, Case{groups, WM_OPEN_GROUP}}) {
        window.messages.clear();
        const QRect second = c.list->visualRect(c.list->model()->index(1, 2));
        QTest::mouseDClick(c.list->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(c.list->viewport(), Qt::LeftButton, {},
                           QPoint(second.center().x(), c.list->viewport()->height() - 3));
        ASSERT_EQ(window.messages.size(), 2u);
        EXPECT_EQ(window.messages[0].type, c.message);
        EXPECT_EQ(window.messages[0].wParam, 1);
        EXPECT_EQ(window.messages[1].type, c.message);
        EXPECT_EQ(window.messages[1].wParam, -1);
    }
}

TEST_F(ListsTest, RelabellingFollowsTheLanguageAndKeepsRowsAndWidths) {
    files->AddFile(0, 0, "/card/", "FILE0001.MOV", 60000, 1 << 20, 1, 0);
    groups->AddGroup(0, "1920x1080", 60000, 1 << 20, 1, 0);
    groups->setColumnWidth(1, 77);
    const QStringList fileRow = RowTexts(files, 0);
    QStringList previous = Headers(files);
    for (const char* code : {"ENG", "RUS", "CHS"}) {
        CAppSettings::GetInstance().SetLanguage(FindLanguageIndex(QString::fromLatin1(code)));
        groups->RelabelColumns();
        files->RelabelColumns();
        EXPECT_EQ(Headers(files)[1], LoadLangString(StringId::ColumnFileName)) << code;
        EXPECT_EQ(Headers(files)[5], LoadLangString(StringId::ColumnFolder)) << code;
        EXPECT_EQ(Headers(groups)[0], LoadLangString(StringId::ColumnGroup)) << code;
        EXPECT_EQ(Headers(groups)[3], LoadLangString(StringId::ColumnLength)) << code;
        if (std::string(code) != "ENG") {
            EXPECT_NE(Headers(files), previous) << code;
        }
        previous = Headers(files);
        EXPECT_EQ(RowTexts(files, 0), fileRow) << code;
        EXPECT_EQ(groups->columnWidth(1), 77) << code;
    }
    EXPECT_EQ(Headers(files)[0], QString::fromUtf8("编号"))
        << Headers(files)[0].toStdString(); // the Chinese table's own word
}

} // namespace
} // namespace kolvex::testing
