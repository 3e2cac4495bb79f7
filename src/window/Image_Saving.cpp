#include "window/Image_Saving.h"

#include "model/Common_Functions.h"

bool Save_Card_Picture(const Picture& image, const QString& file_path_val, Card_File_Type type) {
  QString failure;
  try {
    if (Write_Card_Picture(image, type, file_path_val, &failure)) return true;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    return false;
  }
  Show_MessageBox(file_path_val);
  Show_MessageBox(failure);
  return false;
}

bool Save_gen_image(const Picture& image, const QString& file_path_val) {
  return Save_Card_Picture(image, file_path_val, Card_File_Type::PNG);
}
