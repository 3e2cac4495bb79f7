#include "output/Batch_Binding.h"

#include "output/Sized_Picture_Reader.h"

#include "barcode/Barcode_Designer.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Common_Functions.h"
#include "platform/Bounded_File.h"
#include "series/Data_Series_Store.h"

#include <QFile>
#include <QFileInfo>

#include <QSet>

#include <algorithm>
#include <cmath>

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

namespace {
// The budget's pixels held while a reading is in flight.
class Reading_Hold {
 public:
  Reading_Hold(Record_Picture_Budget& budget, qint64 pixels)
      : budget_(budget), pixels_(std::clamp<qint64>(pixels, 0, budget.max_pixels())) {
    budget_.Take(pixels_);
  }
  ~Reading_Hold() { budget_.Give_Back(pixels_); }
  Reading_Hold(const Reading_Hold&) = delete;
  Reading_Hold& operator=(const Reading_Hold&) = delete;

 private:
  Record_Picture_Budget& budget_;
  qint64 pixels_;
};

QString entry_key(const QString& path, QSize at) {
  QString key = path + QLatin1Char('\n');
  if (at.isValid()) key += QString::number(at.width()) + QLatin1Char('x') + QString::number(at.height());
  return key;
}
}  // namespace

Picture Picture_File_Cache::Picture_Of(const QString& path, QSize at) {
  const QFileInfo file(path);
  const qint64 size = file.size();
  const QDateTime modified = file.lastModified();
  const QString key = entry_key(path, at);
  auto kept = [&](Picture* picture) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.constFind(key);
    if (found == entries_.cend() || found->size != size || found->modified != modified)
      return false;
    *picture = found->picture;
    return true;
  };
  Picture picture;
  if (kept(&picture)) return picture;
  Sized_Picture_Reader reader(path);
  // The reading holds its share of the budget until its picture is kept: a thread that
  // waited for the budget to read the same file finds the picture then, and reads nothing.
  const Reading_Hold hold(reading_, reader.Reading_Pixels(at.isValid() ? at : reader.size()));
  // Read meanwhile by another thread while this one waited for the budget.
  if (kept(&picture)) return picture;
  picture = reader.Read(at.isValid() ? at : reader.size());
  ++decodes_;
  const qsizetype picture_bytes = picture.image().sizeInBytes();
  if (picture.isNull() || !file.exists() || picture_bytes > max_bytes_) return picture;
  std::lock_guard<std::mutex> lock(mutex_);
  if (const auto found = entries_.constFind(key); found != entries_.cend()) {
    // Read meanwhile by another thread, or the file changed: the newest reading stays.
    bytes_ -= found->picture.image().sizeInBytes();
    order_.removeOne(key);
    entries_.remove(key);
  }
  while (bytes_ + picture_bytes > max_bytes_ && !order_.isEmpty())
    bytes_ -= entries_.take(order_.dequeue()).picture.image().sizeInBytes();
  entries_.insert(key, {size, modified, picture});
  order_.enqueue(key);
  bytes_ += picture_bytes;
  return picture;
}

QSize Picture_File_Cache::Size_Of(const QString& path) {
  const QFileInfo file(path);
  const qint64 size = file.size();
  const QDateTime modified = file.lastModified();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = headers_.constFind(path);
    if (found != headers_.cend() && found->size == size && found->modified == modified)
      return found->picture;
  }
  const QSize picture = Sized_Picture_Reader(path).size();
  if (!picture.isValid() || !file.exists()) return picture;
  std::lock_guard<std::mutex> lock(mutex_);
  // A header is a few bytes: those of the last few thousand files met are kept.
  if (headers_.size() >= 4096) headers_.clear();
  headers_.insert(path, {size, modified, picture});
  return picture;
}

void Record_Picture_Budget::Take(qint64 pixels) {
  pixels = std::clamp<qint64>(pixels, 0, max_);
  std::unique_lock<std::mutex> lock(mutex_);
  // In turn: a large request is not passed over for ever by small ones that keep fitting.
  const quint64 ticket = next_ticket_++;
  freed_.wait(lock, [&] { return ticket == serving_ && held_ + pixels <= max_; });
  held_ += pixels;
  ++serving_;
  lock.unlock();
  freed_.notify_all();  // the next in line may fit as well
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

int Record_Picture_Budget::waiting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return int(next_ticket_ - serving_);
}

qsizetype Picture_File_Cache::bytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

QSize Frame_Picture_Pixels(const CRDImage& image, QSize picture, double dpi, double* pixel_scale) {
  if (pixel_scale) *pixel_scale = 1;
  if (!picture.isValid() || picture.isEmpty()) return {};
  const QRectF bounds = image.bounds();
  auto frame_pixels = [dpi](double points) {
    const double pixels = std::ceil(std::abs(points) * dpi / 72 - 1e-9);
    return std::isfinite(pixels) ? std::max(1.0, pixels) : 1e18;  // no bound: the whole picture
  };
  const double fw = frame_pixels(bounds.width()), fh = frame_pixels(bounds.height());
  const double w = picture.width(), h = picture.height();
  const double degrees = std::trunc(double(image.rotate_image));
  const int turn = std::isfinite(degrees) ? int(std::fmod(degrees, 360.0)) : 0;
  const bool filtered = (std::isfinite(image.blr_val) && image.blr_val >= 0.5f) ||
                        (std::isfinite(image.srp_val) && image.srp_val != 0);
  if (turn % 90 == 0 && !filtered) {
    // Stretched into the frame: each way on its own.
    const bool across = turn % 180 != 0;
    return QSize(int(std::min(w, across ? fh : fw)), int(std::min(h, across ? fw : fh)));
  }
  const double radians = turn * M_PI / 180;
  const double c = std::abs(std::cos(radians)), s = std::abs(std::sin(radians));
  const double scale = std::min(1.0, std::max(fw / (w * c + h * s), fh / (w * s + h * c)));
  const QSize at(std::clamp(int(std::ceil(w * scale - 1e-9)), 1, picture.width()),
                 std::clamp(int(std::ceil(h * scale - 1e-9)), 1, picture.height()));
  if (pixel_scale) *pixel_scale = double(at.width()) / picture.width();
  return at;
}

Picture Assign_Batch_Values(const Graphic_List& graphics, int record, const Batch_Values& values,
                            Barcode_Designer& designer, Picture_File_Cache* pictures,
                            Binding_Report* report, Record_Picture_Budget* budget,
                            qint64* held, double dpi) {
  // The record's pictures, in list order, within the pixels one card may hold; those past
  // them are not read. On a card picture each is read at its frame's pixels.
  const qint64 max_pixels =
      budget ? budget->max_pixels() : Graphic_Read_Budget::Default_Picture_Pixels;
  const bool sized = dpi > 0 && std::isfinite(dpi);
  struct Reading {
    QSize at;  // invalid: the whole picture
    double scale = 1;
  };
  QHash<const CRDGraphic*, Reading> readings;
  QSet<const CRDGraphic*> left_out;
  qint64 taken = 0;
  for (const auto& g : graphics) {
    QString value;
    auto* image = dynamic_cast<CRDImage*>(g.get());
    if (!image || !values.Value_For(*g, record, &value)) continue;
    value = Trim_Str(value);
    if (value.isEmpty()) continue;
    const QString path = Standardized_Path(value);
    const QSize size = pictures ? pictures->Size_Of(path) : Sized_Picture_Reader(path).size();
    const qint64 whole = size.isValid() ? qint64(size.width()) * size.height() : 0;
    if (whole > Picture::Max_Pixels) {  // never read: said with its size and the limit
      left_out.insert(g.get());
      if (report && report->picture_left_out.isEmpty())
        report->picture_left_out =
            QStringLiteral("%1 (%2 x %3 pixels) was left out: one picture may have at most %4 "
                           "million pixels.")
                .arg(path, QString::number(size.width()), QString::number(size.height()),
                     QString::number(double(Picture::Max_Pixels) / 1e6, 'g', 4));
      continue;
    }
    Reading reading;
    if (sized) reading.at = Frame_Picture_Pixels(*image, size, dpi, &reading.scale);
    const qint64 pixels =
        reading.at.isValid() ? qint64(reading.at.width()) * reading.at.height() : whole;
    if (pixels > max_pixels - taken) {
      left_out.insert(g.get());
      if (report && report->picture_left_out.isEmpty()) {
        const QString in_frame =
            reading.at.isValid() && reading.at != size
                ? QStringLiteral(", %1 x %2 in its frame on the card")
                      .arg(reading.at.width())
                      .arg(reading.at.height())
                : QString();
        report->picture_left_out =
            QStringLiteral("%1 (%2 x %3 pixels%4) was left out: the pictures of one card may "
                           "hold %5 million pixels together.")
                .arg(path, QString::number(size.width()), QString::number(size.height()),
                     in_frame, QString::number(double(max_pixels) / 1e6, 'g', 4));
      }
      continue;
    }
    readings.insert(g.get(), reading);
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
      const Reading reading = readings.value(g.get());
      image->_pixel_scale = reading.scale;
      if (pictures) {  // as CRDImage::setFilePath does, with the cache reading the file
        image->Set_Control_File_path(value);
        image->_contents =
            CRDImage::Capped_Picture(pictures->Picture_Of(Standardized_Path(value), reading.at));
      } else if (reading.at.isValid()) {
        image->Set_Control_File_path(value);
        image->_contents = CRDImage::Capped_Picture(
            Sized_Picture_Reader(Standardized_Path(value)).Read(reading.at));
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
