#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QTableWidget>
#include <QTimer>

#include "places/PlaceBook.h"
#include "places/widgets/GpxImportDlg.h"
#include "support/TempProgramDir.h"
#include "support/widgets/FakeDesktopServices.h"
#include "support/widgets/MessageBoxRecorder.h"

namespace {

constexpr const char* kPlaces =
    "place\t写真の磯\t\t1.000000\t1.000000\tphoto\nplace\t決めた磯\t\t2.000000\t2.000000\tmap\n";
constexpr const char* kGpx =
    "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">"
    "<wpt lat=\"3\" lon=\"3\"><name>新しい磯</name></wpt>"
    "<wpt lat=\"4\" lon=\"4\"><name>写真の磯</name></wpt>"
    "<wpt lat=\"5\" lon=\"5\"><name>決めた磯</name></wpt></gpx>";

// What the person in front of the preview does.
enum class EAnswer { Cancel, Take, TakeAndReplace };

// The window's GPX import: the preview lists what would change, nothing changes on キャンセル, a
// position the user set changes only when they tick the box, and a damaged places file or a
// hostile GPX file is refused with a message before any preview.
TEST(GpxImportDlgTest, ThePreviewDecidesWhatIsKept)
{
    const struct {
        const char* what;
        std::string gpx;
        std::string places;
        EAnswer answer;
        bool previewed;
        std::optional<CGeoPoint> fresh, photo, chosen;  // positions afterwards
    } cases[] = {
        {"cancelled", kGpx, kPlaces, EAnswer::Cancel, true, std::nullopt, CGeoPoint{1, 1},
         CGeoPoint{2, 2}},
        {"taken", kGpx, kPlaces, EAnswer::Take, true, CGeoPoint{3, 3}, CGeoPoint{4, 4},
         CGeoPoint{2, 2}},
        {"taken, replacing", kGpx, kPlaces, EAnswer::TakeAndReplace, true, CGeoPoint{3, 3},
         CGeoPoint{4, 4}, CGeoPoint{5, 5}},
        {"damaged places file", kGpx, std::string(kPlaces) + "oops\n", EAnswer::Take, false,
         std::nullopt, std::nullopt, std::nullopt},
        {"hostile GPX", "<!DOCTYPE gpx [<!ENTITY a \"a\">]><gpx>&a;</gpx>", kPlaces, EAnswer::Take,
         false, std::nullopt, CGeoPoint{1, 1}, CGeoPoint{2, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTempProgramDir dir;
        dir.WriteFile("in.gpx", c.gpx);
        dir.WriteFile(kPlacesFileName, c.places);
        CFakeDesktopServices desktop;
        desktop.QueueOpenFileNames({QString::fromStdString(dir.Path("in.gpx"))});
        CMessageBoxRecorder messages;
        bool previewed = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CGpxImportDlg*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            previewed = true;
            auto* table =
                dialog->findChild<QTableWidget*>(QString::number(CGpxImportDlg::kTableId));
            EXPECT_EQ(table->rowCount(), 3);
            EXPECT_TRUE(table->item(2, 2)->text().contains(QStringLiteral("設定済み")));
            dialog->findChild<QCheckBox*>(QString::number(CGpxImportDlg::kReplaceId))
                ->setChecked(c.answer == EAnswer::TakeAndReplace);
            c.answer == EAnswer::Cancel ? dialog->reject() : dialog->accept();
        });
        ImportGpxPlaces(nullptr, dir.Folder());
        EXPECT_EQ(previewed, c.previewed);
        EXPECT_EQ(messages.Texts().size(), c.answer == EAnswer::Cancel ? 0 : 1);
        CPlaceBook book;
        if (!book.Load(dir.Folder())) {
            EXPECT_EQ(dir.ReadFile(kPlacesFileName), c.places);  // left as it was
            continue;
        }
        const auto at = [&](const char* place) -> std::optional<CGeoPoint> {
            const CPlaceInfo* info = book.Find(place);
            if (info == nullptr || !info->hasPosition) return std::nullopt;
            return info->position;
        };
        EXPECT_EQ(at("新しい磯"), c.fresh);
        EXPECT_EQ(at("写真の磯"), c.photo);
        EXPECT_EQ(at("決めた磯"), c.chosen);
    }
}

}  // namespace
