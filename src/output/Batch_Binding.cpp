#include "output/Batch_Binding.h"

#include "barcode/Barcode_Designer.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Common_Functions.h"
#include "platform/Bounded_File.h"
#include "series/Data_Series_Store.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <QSet>

#include <algorithm>

bool Takes_Batch_Values(const CRDGraphic& graphic) {
  return dynamic_cast<const CRDText*>(&graphic) || dynamic_cast<const CRDImage*>(&graphic) ||
         dynamic_cast<const CRDBarcode*>(&graphic);
}

bool Side_Uses_Source(const Graphic_List& side, int source) {
  return std::any_of(side.begin(), side.end(), [source](const std::shared_ptr<CRDGraphic>& g) {
    return g && Takes_Batch_Values(*g) && g->data_source_type == source;
  });
}

void Batch_Values::Recount() {
  series_rows = 0;
  if (use_series)
    for (const QStringList& records : series) series_rows = std::max(series_rows, int(records.size()));
  sheet_rows = use_sheet ? int(sheet.size()) : 0;
  total = std::max(series_rows, sheet_rows);
}

bool Batch_Values::Value_For(const CRDGraphic& graphic, int record, QString* value) const {
  if (graphic.data_source_type == Source_Series && use_series) {
    const auto found = series.constFind(graphic.batch_list_name);
    *value = found != series.cend() && record >= 0 && record < found->size()
                 ? found->at(record)
                 : QString();
    return true;
  }
  if (graphic.data_source_type == Source_Sheet && use_sheet) {
    *value = record < sheet_rows ? Sheet_Value(sheet, record, graphic.excel_col_indx) : QString();
    return true;
  }
  return false;
}

Batch_Values Batch_Check(const Graphic_List& front, const Graphic_List& back, bool two_sided,
                         const Data_Table_Rows& sheet) {
  Batch_Values values;
  // Series: each series a bound graphic names is read once.
  values.use_series = Side_Uses_Source(front, Source_Series) ||
                      (two_sided && Side_Uses_Source(back, Source_Series));
  if (values.use_series) {
    auto load = [&](const Graphic_List& side) {
      for (const auto& g : side) {
        if (!g || !Takes_Batch_Values(*g) || g->data_source_type != Source_Series) continue;
        if (values.series.contains(g->batch_list_name)) continue;
        if (auto records = Series_Output_Records(g->batch_list_name))
          values.series.insert(g->batch_list_name, *records);
      }
    };
    load(front);
    if (two_sided) load(back);
  }
  values.use_sheet = Side_Uses_Source(front, Source_Sheet) ||
                     (two_sided && Side_Uses_Source(back, Source_Sheet));
  if (values.use_sheet) values.sheet = sheet;
  values.Recount();
  if (values.series_rows == 0) values.use_series = false;
  if (values.sheet_rows == 0) values.use_sheet = false;
  values.Recount();
  return values;
}

Picture Picture_File_Cache::Picture_Of(const QString& path) {
  const QFileInfo file(path);
  const qint64 size = file.size();
  const QDateTime modified = file.lastModified();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.constFind(path);
    if (found != entries_.cend() && found->size == size && found->modified == modified)
      return found->picture;
  }
  Picture picture = Picture::fromFile(path);
  const qsizetype picture_bytes = picture.image().sizeInBytes();
  if (picture.isNull() || !file.exists() || picture_bytes > max_bytes_) return picture;
  std::lock_guard<std::mutex> lock(mutex_);
  if (const auto found = entries_.constFind(path); found != entries_.cend()) {
    // Read meanwhile by another thread, or the file changed: the newest reading stays.
    bytes_ -= found->picture.image().sizeInBytes();
    order_.removeOne(path);
    entries_.remove(path);
  }
  while (bytes_ + picture_bytes > max_bytes_ && !order_.isEmpty())
    bytes_ -= entries_.take(order_.dequeue()).picture.image().sizeInBytes();
  entries_.insert(path, {size, modified, picture});
  order_.enqueue(path);
  bytes_ += picture_bytes;
  return picture;
}

namespace {
// The size a picture file's header gives, read as Picture::fromFile reads it.
QSize Header_Size(const QString& path) {
  QFile file;
  if (path.isEmpty() || !Open_Regular_File(file, path)) return {};
  QImageReader reader(&file, QFileInfo(path).suffix().toLower().toLatin1());
  return reader.size();
}
}  // namespace

QSize Picture_File_Cache::Size_Of(const QString& path) {
  const QFileInfo file(path);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.constFind(path);
    if (found != entries_.cend() && found->size == file.size() &&
        found->modified == file.lastModified())
      return found->picture.image().size();
  }
  return Header_Size(path);
}

void Record_Picture_Budget::Take(qint64 pixels) {
  pixels = std::clamp<qint64>(pixels, 0, max_);
  std::unique_lock<std::mutex> lock(mutex_);
  freed_.wait(lock, [&] { return held_ + pixels <= max_; });
  held_ += pixels;
}

void Record_Picture_Budget::Give_Back(qint64 pixels) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = std::max<qint64>(0, held_ - std::clamp<qint64>(pixels, 0, max_));
  }
  freed_.notify_all();
}

qint64 Record_Picture_Budget::held() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return held_;
}

qsizetype Picture_File_Cache::bytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

Picture Assign_Batch_Values(const Graphic_List& graphics, int record, const Batch_Values& values,
                            Barcode_Designer& designer, Picture_File_Cache* pictures,
                            Binding_Report* report, Record_Picture_Budget* budget,
                            qint64* held) {
  // The record's pictures, in list order, within the pixels one card may hold; those past
  // them are not read.
  const qint64 max_pixels =
      budget ? budget->max_pixels() : Graphic_Read_Budget::Default_Picture_Pixels;
  QSet<const CRDGraphic*> left_out;
  qint64 taken = 0;
  for (const auto& g : graphics) {
    QString value;
    if (!g || !dynamic_cast<CRDImage*>(g.get()) || !values.Value_For(*g, record, &value)) continue;
    value = Trim_Str(value);
    if (value.isEmpty()) continue;
    const QString path = Standardized_Path(value);
    const QSize size = pictures ? pictures->Size_Of(path) : Header_Size(path);
    const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : 0;
    if (pixels > Picture::Max_Pixels) continue;  // not read in any case: a file missing
    if (pixels > max_pixels - taken) {
      left_out.insert(g.get());
      if (report && report->picture_left_out.isEmpty())
        report->picture_left_out =
            QStringLiteral("%1 (%2 x %3 pixels) was left out: the pictures of one card may hold "
                           "%4 million pixels together.")
                .arg(path)
                .arg(size.width())
                .arg(size.height())
                .arg(double(max_pixels) / 1e6, 0, 'g', 4);
      continue;
    }
    taken += pixels;
  }
  if (budget) budget->Take(taken);
  if (held) *held = budget ? taken : 0;

  Picture last_barcode;
  for (const auto& g : graphics) {
    if (!g || !Takes_Batch_Values(*g)) continue;
    QString value;
    if (!values.Value_For(*g, record, &value)) continue;
    value = Trim_Str(value);
    if (dynamic_cast<CRDText*>(g.get())) {
      g->Text_contents()->replaceCharacters(value);
    } else if (auto* image = dynamic_cast<CRDImage*>(g.get())) {
      if (left_out.contains(g.get())) {
        image->Set_Control_File_path(value);
        image->_contents = Picture();
        continue;
      }
      if (pictures) {  // as CRDImage::setFilePath does, with the cache reading the file
        image->Set_Control_File_path(value);
        image->_contents = CRDImage::Capped_Picture(pictures->Picture_Of(Standardized_Path(value)));
      } else {
        image->setFilePath(value);
      }
      // An empty value (a record past the end of its series) leaves the frame empty on
      // purpose; a path that gives no picture is a file missing.
      if (report && report->missing_picture.isEmpty() && !value.isEmpty() &&
          image->_contents.isNull())
        report->missing_picture = Standardized_Path(value);
    } else {
      designer.Set_Barcode_Prop_To_Control(g);
      last_barcode = designer.Get_Image_From_Val(value, g->header_val, g->footer_val);
      g->Set_Barcode_image(last_barcode);
      if (report && report->barcode_failure.isEmpty())
        report->barcode_failure = designer.Drawing_Failure();
    }
  }
  return last_barcode;
}
