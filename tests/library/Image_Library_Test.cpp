// The picture library and the image browser items it shares with the other libraries.

#include "library/Image_Browser_Model.h"
#include "library/MyImageObject.h"
#include "library/ui/Image_Library.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "support/Deadlock_Guard.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList titles(const Image_Browser_Model& model) {
  QStringList out;
  for (const MyImageObject& item : model.images()) out << item.imageTitle();
  return out;
}

class Image_Library_Test : public test_support::Design_Test {
 protected:
  // A small real picture at a path inside the resource folder.
  QString picture(const QString& relative, QColor colour = Qt::red) {
    const QString path = Resource_Path + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).path());
    QImage image(30, 20, QImage::Format_ARGB32);
    image.fill(colour);
    const QString format = QFileInfo(path).suffix().toLower() == QLatin1String("jpg") ? "JPG" : "PNG";
    EXPECT_TRUE(image.save(path, format.toLatin1().constData()));
    return path;
  }
  void empty_folder(const QString& relative) {
    QDir dir(Resource_Path + QLatin1Char('/') + relative);
    dir.removeRecursively();
    QDir().mkpath(dir.path());
  }
  platform::Scoped_Scripted_Platform platform;
};

TEST(My_Image_Object, ItemsOfAFileAndOfAPictureInMemory) {
  const MyImageObject file =
      MyImageObject::initWithImage_Path(QStringLiteral("/p/a.png"), QStringLiteral("a.png"),
                                        QStringLiteral("uid-a"));
  EXPECT_EQ(file.imageRepresentation(), QStringLiteral("/p/a.png"));
  EXPECT_EQ(file.imageUID(), QStringLiteral("uid-a"));
  EXPECT_EQ(file.imageTitle(), QStringLiteral("a.png"));
  EXPECT_EQ(file.imageSubtitle(), QStringLiteral("a.png"));
  QImage picture(4, 4, QImage::Format_ARGB32);
  picture.fill(Qt::blue);
  const MyImageObject memory =
      MyImageObject::initWithImage(picture, QStringLiteral("b"), QStringLiteral("uid-b"));
  picture.fill(Qt::red);  // the item holds its own copy
  EXPECT_EQ(memory.image().pixelColor(0, 0), QColor(Qt::blue));
  EXPECT_TRUE(memory.path().isEmpty());
}

TEST(Image_Browser, AddsTrimmedPathsAndMovesDraggedItemsAsABlock) {
  Image_Browser_Model model;
  EXPECT_FALSE(model.addImageWithPath(QStringLiteral("  \n\t "), "blank", "blank"));
  EXPECT_EQ(model.numberOfItemsInImageBrowser(), 0);
  for (const char* name : {"A", "B", "C", "D"})
    EXPECT_TRUE(model.addImageWithPath(QStringLiteral(" /p/%1.png\n").arg(name), name, name));
  EXPECT_EQ(model.itemAtIndex(0)->path(), QStringLiteral("/p/A.png"));

  struct Case {
    QList<int> dragged;
    int drop;
    QStringList expected;
  };
  const Case cases[] = {
      {{0}, 3, {"B", "C", "A", "D"}},
      {{3}, 0, {"D", "A", "B", "C"}},
      {{0, 2}, 4, {"B", "D", "A", "C"}},
      {{1, 3}, 1, {"A", "B", "D", "C"}},
      {{2}, 2, {"A", "B", "C", "D"}},
  };
  for (const Case& c : cases) {
    Image_Browser_Model m;
    for (const char* name : {"A", "B", "C", "D"}) m.addImageWithPath(name, name, name);
    EXPECT_TRUE(m.moveItemsAtIndexes(c.dragged, c.drop));
    EXPECT_EQ(titles(m), c.expected) << c.dragged.size() << " to " << c.drop;
  }
  // Nothing leaves the browser.
  EXPECT_FALSE(model.removeRows(0, 1));
  EXPECT_EQ(model.numberOfItemsInImageBrowser(), 4);
}

TEST_F(Image_Library_Test, CategoriesAndPicturesOfTheFolders) {
  empty_folder(QStringLiteral("LibraryImage"));
  picture(QStringLiteral("LibraryImage/sea animals/b.Jpg"));
  picture(QStringLiteral("LibraryImage/sea animals/a.PNG"));
  picture(QStringLiteral("LibraryImage/sea animals/c.jpeg"));
  picture(QStringLiteral("LibraryImage/sea animals/d.gif"));
  QDir().mkpath(Resource_Path + QStringLiteral("/LibraryImage/sea animals/sub.png"));
  picture(QStringLiteral("LibraryImage/BIRDS/owl.png"));
  QFile(Resource_Path + QStringLiteral("/LibraryImage/loose.png")).open(QIODevice::WriteOnly);

  EXPECT_EQ(Library_Categories(Resource_Path + QStringLiteral("/LibraryImage")),
            (QStringList{"Birds", "Sea Animals"}));
  Image_Browser_Model model;
  EXPECT_TRUE(model.List_Picture_Folder(Library_Category_Folder(
      Resource_Path + QStringLiteral("/LibraryImage"), QStringLiteral("Sea Animals"))));
  EXPECT_EQ(titles(model), (QStringList{"a.PNG", "b.Jpg"}));
  EXPECT_FALSE(model.List_Picture_Folder(Resource_Path + QStringLiteral("/missing")));
  EXPECT_EQ(titles(model), (QStringList{"a.PNG", "b.Jpg"}));

  // Thumbnails arrive from a worker, scaled to the browser's size.
  model.setThumbnailSize(QSize(15, 15));
  QSignalSpy ready(&model, &Image_Browser_Model::thumbnailReady);
  (void)model.data(model.index(0), Qt::DecorationRole);
  ASSERT_TRUE(ready.wait(test_support::kDeadlock_Guard_Ms));
  const QImage thumbnail = model.data(model.index(0), Qt::DecorationRole).value<QImage>();
  EXPECT_EQ(thumbnail.size(), QSize(15, 10));
}

TEST_F(Image_Library_Test, OpensByModeAndAnswersTheChosenFile) {
  empty_folder(QStringLiteral("LibraryImage"));
  empty_folder(QStringLiteral("Background"));
  const QString fish = picture(QStringLiteral("LibraryImage/sea animals/fish.png"));
  const QString sky = picture(QStringLiteral("Background/sky.jpg"), Qt::blue);
  Image_Library* library = Image_Library::defaultInstance();
  EXPECT_EQ(Image_Library::defaultInstance(), library);
  library->selected_image.clear();

  // First opening, OK without a choice: the message, and the window stays open.
  QStringList seen;
  platform.on_run_modal = [&](QObject*) {
    seen = titles(*library->images);
    library->OK_Clicked();
    EXPECT_EQ(platform.messages.value(0).trimmed(), QStringLiteral("Please select image."));
    library->imageBrowser->setCurrentIndex(library->images->index(0));
    library->OK_Clicked();
    return 0;
  };
  library->control_or_BG = QStringLiteral("C");
  EXPECT_EQ(library->Open_Library_Window(), 1);
  EXPECT_EQ(library->windowTitle(), QStringLiteral("Image Library"));
  EXPECT_FALSE(library->cat_cmbo_bx->isHidden());
  EXPECT_EQ(library->cat_cmbo_bx->currentText(), QStringLiteral("Sea Animals"));
  EXPECT_EQ(seen, QStringList{"fish.png"});
  EXPECT_EQ(library->selected_image, fish);

  // Backgrounds: no category list, nothing selected; OK keeps the earlier choice.
  platform.on_run_modal = [&](QObject*) {
    seen = titles(*library->images);
    EXPECT_TRUE(library->imageBrowser->selectionModel()->selectedIndexes().isEmpty());
    library->OK_Clicked();
    return 0;
  };
  library->control_or_BG = QStringLiteral("B");
  EXPECT_EQ(library->Open_Library_Window(), 1);
  EXPECT_EQ(library->windowTitle(), QStringLiteral("Background Image Library"));
  EXPECT_TRUE(library->cat_cmbo_bx->isHidden());
  EXPECT_TRUE(library->category_label->isHidden());
  EXPECT_EQ(seen, QStringList{"sky.jpg"});
  EXPECT_EQ(library->selected_image, fish);

  // Cancel forgets the choice; a chosen file that is gone is no choice either.
  platform.on_run_modal = [&](QObject*) {
    library->Cancel_Clicked();
    return 1;
  };
  EXPECT_EQ(library->Open_Library_Window(), 0);
  EXPECT_TRUE(library->selected_image.isEmpty());
  library->selected_image = sky;
  QFile::remove(sky);
  const qsizetype before = platform.messages.size();
  library->OK_Clicked();
  EXPECT_EQ(platform.messages.size(), before + 1);
}

}  // namespace
