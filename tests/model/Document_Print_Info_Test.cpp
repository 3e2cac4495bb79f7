// The document's print info: its first page layout, and the "canvasSize" change that a
// new one announces around itself.

#include "model/CRDDocument.h"
#include "support/Test_Support.h"

#include <QSignalSpy>

namespace {

TEST(Document_Print_Info, NewLayoutIsAnnouncedAsACanvasSizeChangeWithoutAValue) {
  CRDDocument document;
  const QPageLayout first = document.printInfo();
  EXPECT_TRUE(first.isValid());
  EXPECT_EQ(first.orientation(), QPageLayout::Portrait);
  EXPECT_EQ(first.margins(QPageLayout::Point), QMarginsF(72, 90, 72, 90));
  EXPECT_TRUE(first.pageSize().id() == QPageSize::A4 || first.pageSize().id() == QPageSize::Letter);

  // Will-change comes before the layout changes, did-change after it, with a null value:
  // what listens to either reads the layout of its moment.
  const QPageLayout a5(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
  QStringList order;
  QVariant announced(42);
  QObject::connect(&document, &CRDDocument::canvasSizeWillChange, [&] {
    order << QStringLiteral("will");
    EXPECT_EQ(document.printInfo(), first);
  });
  QObject::connect(&document, &CRDDocument::canvasSizeDidChange, [&](const QVariant& value) {
    order << QStringLiteral("did");
    EXPECT_EQ(document.printInfo(), a5);
    announced = value;
  });
  document.setPrintInfo(a5);
  EXPECT_EQ(order, (QStringList{"will", "did"}));
  EXPECT_TRUE(announced.isNull());
  EXPECT_EQ(document.printInfo(), a5);
  // The fixed card size is unchanged.
  EXPECT_EQ(CRDDocument::canvasSize(true, QSizeF(1, 1)), QSizeF(243, 154));
}

}  // namespace
