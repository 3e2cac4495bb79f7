#pragma once
// Batch record binding: which data sources a design uses, how many records a run has, and
// the writing of record i into a side's graphics.
//
// Everything here is GUI-free and works on explicit inputs. The batch check runs on the
// main thread against the live design and reads each used series once; the resulting
// Batch_Values is a plain value (implicitly shared lists) that workers copy and read.
// Assign_Batch_Values writes into whatever graphic list it is given: the live side on the
// main thread, or a worker's own clones.
//
// A graphic bound to a series names it twice: batch_list_name and batch_list_index (its
// position in the series list when it was bound). The name decides: a series added or
// removed since the binding shifts the positions, never the values a graphic takes.

#include "model/CRDGraphic.h"
#include "model/Graphic_Archive.h"
#include "series/Data_From_Excel.h"

#include <QDateTime>
#include <QHash>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <mutex>

class Barcode_Designer;
class CRDImage;

// Data source codes of a graphic (data_source_type).
enum Data_Source : int { Source_Manual = 0, Source_Series = 1, Source_Sheet = 2 };

// True for the kinds that take values: texts, pictures and barcodes.
bool Takes_Batch_Values(const CRDGraphic& graphic);
// The list holds a text, picture or barcode bound to that source.
bool Side_Uses_Source(const Graphic_List& side, int source);

struct Batch_Values {
  // Series source: the records of each series a bound graphic uses and whose file exists
  // (by name). A missing series has no entry and gives empty values.
  QHash<QString, QStringList> series;
  bool use_series = false;  // Use_Data_Sheet_Values
  int series_rows = 0;      // Data_table_rows: the longest used series
  // Spreadsheet source: a copy of the data table's rows.
  Data_Table_Rows sheet;
  bool use_sheet = false;  // Use_Excel_Binding_Values
  int sheet_rows = 0;      // Excel_table_rows
  int total = 0;           // Total_Batch_Excel_Card: the larger of the two counts

  // Recounts after a caller cleared a flag (Get_total_Card_count): a source not in use
  // counts 0 records.
  void Recount();
  // The value record i gives a graphic: its series' value or its column's value, "" past
  // the end of the source. Nothing for a graphic whose source is not in use (it keeps
  // what it shows).
  bool Value_For(const CRDGraphic& graphic, int record, QString* value) const;
};

// The batch check: the series check, then the spreadsheet check, then the count. The back
// side counts only for a two-sided card. A source whose records number 0 is not in use.
Batch_Values Batch_Check(const Graphic_List& front, const Graphic_List& back, bool two_sided,
                         const Data_Table_Rows& sheet);

// The pixels of the pictures records name that the renderers of one run hold at once: at
// most what the pictures of one design may hold. A renderer takes what its record's
// pictures need (known from their files' headers and their frames) before it reads them
// and gives it back once the card is drawn; while others hold too much of it, it waits.
// So a run holds no more of such pictures with eight workers than with one. The same kind
// of budget keeps the readings in flight of a Picture_File_Cache. Safe to share between
// threads.
class Record_Picture_Budget {
 public:
  explicit Record_Picture_Budget(qint64 max_pixels = Graphic_Read_Budget::Default_Picture_Pixels)
      : max_(max_pixels) {}
  qint64 max_pixels() const { return max_; }
  // Holds the pixels (at most max_pixels) once they are free, in the order asked.
  void Take(qint64 pixels);
  void Give_Back(qint64 pixels);
  qint64 held() const;
  // The requests waiting for their pixels.
  int waiting() const;

 private:
  const qint64 max_;
  mutable std::mutex mutex_;
  std::condition_variable freed_;
  qint64 held_ = 0;
  quint64 next_ticket_ = 0, serving_ = 0;  // requests in the order they came
};

// Pictures read from files, kept while their file stays as it was (same size, same time
// of the last change) and up to a number of bytes, the oldest given up first: a batch
// whose records name the same few pictures reads each of them once, at each size asked.
// Safe to share between threads (the pictures are implicitly shared and only read); a file
// is read outside the lock, so workers never wait for each other's reading, except that
// the readings in flight together hold at most `reading_pixels` (Sized_Picture_Reader::
// Reading_Pixels): one reading that needs more waits until it is the only one. A reading
// keeps its picture before it lets its pixels go, so that a reading of the same file that
// waited for them finds the picture kept and reads nothing.
class Picture_File_Cache {
 public:
  explicit Picture_File_Cache(qsizetype max_bytes = qsizetype(64) << 20,
                              qint64 reading_pixels = Picture::Max_Pixels)
      : max_bytes_(max_bytes), reading_(reading_pixels) {}
  // The picture of the file at `at` pixels as Sized_Picture_Reader reads it, or the whole
  // picture (as Picture::fromFile reads it) when `at` is not valid; null when it cannot be
  // read.
  Picture Picture_Of(const QString& path, QSize at = QSize());
  // The size of the file's picture, its orientation applied, as its header gives it
  // (invalid when it gives none); nothing is decoded.
  QSize Size_Of(const QString& path);
  qsizetype bytes() const;
  // The files' pictures decoded so far (a picture found kept is not decoded again).
  qint64 decodes() const { return decodes_; }
  // The budget the readings in flight hold (tests line readings up with it).
  Record_Picture_Budget& Reading_Budget() { return reading_; }

 private:
  struct Entry {
    qint64 size = 0;
    QDateTime modified;
    Picture picture;
  };
  struct Header {
    qint64 size = 0;
    QDateTime modified;
    QSize picture;
  };
  mutable std::mutex mutex_;
  QHash<QString, Entry> entries_;  // by path and size asked
  QQueue<QString> order_;  // oldest first
  QHash<QString, Header> headers_;  // by path
  qsizetype bytes_ = 0;
  qsizetype max_bytes_;
  Record_Picture_Budget reading_;
  std::atomic<qint64> decodes_{0};
};

// What the binding of one record could not do. The record is drawn all the same, the
// graphic concerned without its picture; the caller reports it (a worker as a value, which
// the main thread shows once).
struct Binding_Report {
  QString missing_picture;  // the first bound picture file of the record that could not be read
  // Why the first picture left out for the record's budget was left out (its file named).
  QString picture_left_out;
  QString barcode_failure;  // why the first bound barcode that failed could not be drawn
  bool complete() const {
    return missing_picture.isEmpty() && picture_left_out.isEmpty() && barcode_failure.isEmpty();
  }
};

// Writes record i into every bound text, picture and barcode of the list, index 0 first:
// a text's whole styled text becomes the trimmed value, a picture loads the value as its
// file path (through the cache when one is given), a barcode is drawn anew from the
// value with its own settings loaded into the designer (a value that makes no barcode
// leaves it without a picture). Answers the last barcode picture made (null when none
// was made). A picture path that names no readable picture, and a barcode whose symbol
// cannot be drawn, are noted in the report when one is given; nothing is shown.
// With a resolution (dpi > 0: a card picture's), a picture is read only at the pixels its
// frame has on the card picture (Frame_Picture_Pixels); without one, whole, as the window
// shows it.
// The pictures of one record may hold the pixels of a design's pictures together (the
// budget's, else Graphic_Read_Budget::Default_Picture_Pixels): their sizes are read from
// their files' headers first, and a picture past what is left is not read (its frame stays
// empty and the report names it). With a budget, the pixels the record's pictures take are
// held in it (*held says how many) until the caller gives them back.
Picture Assign_Batch_Values(const Graphic_List& graphics, int record, const Batch_Values& values,
                            Barcode_Designer& designer, Picture_File_Cache* pictures = nullptr,
                            Binding_Report* report = nullptr,
                            Record_Picture_Budget* budget = nullptr, qint64* held = nullptr,
                            double dpi = 0);

// The pixels at which a picture object shows a picture of `picture` pixels (oriented) on a
// card picture at `dpi`: each way its frame's pixels (ceil(points x dpi / 72)), no more than
// the picture's own. A picture turned by a fraction of a right angle, or blurred or
// sharpened (filters measured in its own pixels), keeps its proportions: the smallest
// scale at which its turned picture fills the frame's pixels both ways. *pixel_scale gets
// the scale of its pixels when they keep their proportions, else 1.
QSize Frame_Picture_Pixels(const CRDImage& image, QSize picture, double dpi,
                           double* pixel_scale = nullptr);
