// The background gallery: which pictures it lists, moving them, refusing removal, and a
// picked picture becoming the front side's background.

#include "Window_Fixture.h"

#include "library/Image_Browser_Model.h"
#include "model/Shared_Design_State.h"

#include <QDir>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>

namespace {

using test_support::Window_Fixture;

class Background_Gallery : public Window_Fixture {
 protected:
  // A fresh "Background" folder holding these files (pictures for image names).
  void Background_Folder(const QStringList& files) {
    QDir folder(Resource_Path + "/Background");
    folder.removeRecursively();
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    for (const QString& name : files) {
      const bool picture = !name.endsWith(".txt");
      QImage image(30, 20, QImage::Format_RGB32);
      image.fill(QColor(40, 90, 200));
      if (picture)
        ASSERT_TRUE(image.save(folder.filePath(name), name.endsWith("jpg") || name.endsWith("jpeg")
                                                          ? "JPG"
                                                          : "PNG"));
      else
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    }
  }
  QStringList Names() const {
    QStringList names;
    for (const MyImageObject& item : window->gallery_images()) names << item.imageTitle();
    return names;
  }
  void Pick(int row) {
    window->imageBrowser->selectionModel()->select(window->imageBrowser->model()->index(row, 0),
                                                   QItemSelectionModel::ClearAndSelect);
  }
};

TEST_F(Background_Gallery, ListsPngAndJpgOnly) {
  Background_Folder({"a.PNG", "b.jpg", "c.jpeg", "notes.txt"});
  window->Load_and_fill_backgrounds();
  EXPECT_EQ(Names(), QStringList({"a.PNG", "b.jpg"}));
  EXPECT_EQ(window->gallery_images()[1].path(), Resource_Path + "/Background/b.jpg");
  EXPECT_EQ(window->imageBrowser->model()->rowCount(), 2);
}

TEST_F(Background_Gallery, MissingFolderChangesNothingAndSaysNothing) {
  Background_Folder({"a.png"});
  window->Load_and_fill_backgrounds();
  QDir(Resource_Path + "/Background").removeRecursively();
  window->Load_and_fill_backgrounds();
  EXPECT_EQ(Names(), QStringList{"a.png"});
  EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Background_Gallery, MovingAndRemovingKeepEveryPicture) {
  Background_Folder({"1.png", "2.png", "3.png"});
  window->Load_and_fill_backgrounds();
  auto* model = qobject_cast<Image_Browser_Model*>(window->imageBrowser->model());
  ASSERT_NE(model, nullptr);
  EXPECT_TRUE(model->moveItemsAtIndexes({0}, 3));
  EXPECT_EQ(Names(), QStringList({"2.png", "3.png", "1.png"}));
  EXPECT_FALSE(model->removeRows(0, 2));
  EXPECT_EQ(Names(), QStringList({"2.png", "3.png", "1.png"}));
  window->addImageWithPath("  \n ", "blank", "blank");
  EXPECT_EQ(Names().size(), 3);
}

TEST_F(Background_Gallery, PickingDressesTheFrontWhicheverSideIsShown) {
  Background_Folder({"a.png", "b.png"});
  window->Load_and_fill_backgrounds();
  window->Back_Side_btn->click();
  ASSERT_EQ(Card_Front_Or_Back.load(), 1);
  Pick(1);
  const QString b = Resource_Path + "/Background/b.png";
  EXPECT_EQ(window->selected_image, b);
  EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path, b);
  EXPECT_EQ(window->Front_card_Prop.Card_fill_style, "I");
  EXPECT_TRUE(window->Front_card_Prop.Card_fill_chk);
  EXPECT_FALSE(window->Front_card_Prop.Card_BG_Image.isNull());
  EXPECT_TRUE(window->Back_card_Prop.Card_BG_Image_Path.isEmpty());
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
}

}  // namespace
