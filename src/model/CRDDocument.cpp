#include "model/CRDDocument.h"

#include "model/Graphic_Archive.h"
#include "platform/Platform.h"
#include "platform/Property_List.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLocale>

#include <algorithm>
#include <unordered_set>

const QString CRDDocumentCanvasSizeKey = QStringLiteral("canvasSize");
const QString CRDDocumentGraphicsKey = QStringLiteral("graphics");
const QString CRDDocumentGraphicsKey_back = QStringLiteral("graphics_back");
const QString CRDDocumentGraphicsKey_temp = QStringLiteral("graphics_temp");
const QString CRDDocumentNewTypeName = QStringLiteral("com.dadidividuvu.Lumigrove");
const QString CRDDocumentOldTypeName = QStringLiteral("ZELK CARD document");
const int CRDDocumentCurrentVersion = 2;
const QString CRDDocumentVersionKey = QStringLiteral("version");
const QString CRDDocumentPrintInfoKey = QStringLiteral("printInfo");

int CRDDocument::first = 0;

namespace {
CRDDocument::Window_Controller_Factory& Window_Factory() {
  static CRDDocument::Window_Controller_Factory factory;
  return factory;
}
CRDDocument::Image_Data_Renderer& Image_Renderer() {
  static CRDDocument::Image_Data_Renderer renderer;
  return renderer;
}
}  // namespace

CRDMapTableOwner::Values& CRDMapTableOwner::valuesFor(const std::shared_ptr<CRDGraphic>& graphic) {
  const auto it = index_.find(graphic.get());
  if (it != index_.end()) return entries_[it->second].second;
  index_.emplace(graphic.get(), entries_.size());
  entries_.emplace_back(graphic, Values{});
  return entries_.back().second;
}

CRDDocument::CRDDocument(QObject* parent)
    : QObject(parent),
      print_info_(QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                                ? QPageSize::Letter
                                : QPageSize::A4),
                  QPageLayout::Portrait, QMarginsF(72, 90, 72, 90), QPageLayout::Point) {
  for (Side side : {Side::Front, Side::Back, Side::Temp}) {
    Undo_Manager* manager = new Undo_Manager(this);
    sides_undo_[int(side)].manager = manager;
    connect(manager, &Undo_Manager::checkpoint, this, [this, side] { checkpoint(side); });
  }
}

CRDDocument::~CRDDocument() {
  // The undo history goes with the document; the graphics may live on elsewhere (in
  // copies of a list), so they forget the document.
  for (const Side_Undo& undo : sides_undo_) disconnect(undo.manager, nullptr, this, nullptr);
  for (Graphic_List& list : lists_)
    for (const auto& graphic : list) detach(*graphic);
}

void CRDDocument::detach(CRDGraphic& graphic) {
  if (graphic.observer() == this) graphic.setObserver(nullptr);
  if (graphic._scriptingContainer == this) graphic.setScriptingContainer(nullptr);
}

namespace {
constexpr unsigned side_bit(CRDDocument::Side side) { return 1u << unsigned(side); }
constexpr unsigned real_sides =
    side_bit(CRDDocument::Side::Front) | side_bit(CRDDocument::Side::Back);
}  // namespace

std::optional<CRDDocument::Side> CRDDocument::sideOf(const CRDGraphic& graphic) const {
  const auto it = sides_.find(&graphic);
  if (it == sides_.end()) return std::nullopt;
  for (Side side : {Side::Front, Side::Back, Side::Temp})
    if (it->second & side_bit(side)) return side;
  return std::nullopt;
}

bool CRDDocument::holds(Side side, const CRDGraphic& graphic) const {
  const auto it = sides_.find(&graphic);
  return it != sides_.end() && (it->second & side_bit(side));
}

// ---- Lists -----------------------------------------------------------------------------

bool CRDDocument::insertGraphics(const Graphic_List& graphics, const QList<int>& indexes) {
  return insertGraphics(Side::Front, graphics, indexes);
}

bool CRDDocument::removeGraphicsAtIndexes(const QList<int>& indexes) {
  return removeGraphicsAtIndexes(Side::Front, indexes);
}

bool CRDDocument::insertGraphics(Side side, const Graphic_List& graphics,
                                 const QList<int>& indexes) {
  Graphic_List& list = list_of(side);
  bool valid = qsizetype(graphics.size()) == indexes.size();
  std::unordered_set<const CRDGraphic*> seen;
  for (qsizetype i = 0; valid && i < indexes.size(); ++i) {
    const CRDGraphic* graphic = graphics[size_t(i)].get();
    const auto member = graphic ? sides_.find(graphic) : sides_.end();
    const unsigned lists = member == sides_.end() ? 0u : member->second;
    const unsigned refused = side == Side::Temp ? side_bit(side) : real_sides | side_bit(side);
    valid = graphic && !(lists & refused) && seen.insert(graphic).second &&
            (i == 0 || indexes[i] > indexes[i - 1]) && indexes[i] >= 0 &&
            indexes[i] <= qsizetype(list.size()) + i;
  }
  if (!valid) {
    qWarning("CRDDocument: insertion refused (indexes do not match the graphics)");
    return false;
  }
  if (graphics.empty()) return true;

  for (qsizetype i = 0; i < indexes.size(); ++i)
    list.insert(list.begin() + indexes[i], graphics[size_t(i)]);
  for (const auto& graphic : graphics) {
    sides_[graphic.get()] |= side_bit(side);
    graphic->setObserver(this);
    if (side == Side::Front) graphic->setScriptingContainer(this);
  }
  Side_Undo& undo = sides_undo_[int(side)];
  undo.manager->registerUndo(this,
                             [this, side, indexes] { removeGraphicsAtIndexes(side, indexes); });
  if (undo.manager->isUndoRegistrationEnabled())
    for (const auto& graphic : graphics) undo.inserted[graphic.get()] = graphic;
  emit graphicsInserted(side, indexes);
  return true;
}

bool CRDDocument::removeGraphicsAtIndexes(Side side, const QList<int>& indexes) {
  Graphic_List& list = list_of(side);
  bool valid = true;
  for (qsizetype i = 0; valid && i < indexes.size(); ++i)
    valid = indexes[i] >= 0 && indexes[i] < qsizetype(list.size()) &&
            (i == 0 || indexes[i] > indexes[i - 1]);
  if (!valid) {
    qWarning("CRDDocument: removal refused (index outside the list)");
    return false;
  }
  if (indexes.isEmpty()) return true;

  Graphic_List removed;
  QList<QRectF> drawing_bounds;
  removed.reserve(size_t(indexes.size()));
  for (int index : indexes) {
    removed.push_back(list[size_t(index)]);
    drawing_bounds << removed.back()->drawingBounds();
  }
  for (const auto& graphic : removed) {
    unsigned& lists = sides_[graphic.get()];
    lists &= ~side_bit(side);
    if (side == Side::Front && graphic->_scriptingContainer == this)
      graphic->setScriptingContainer(nullptr);
    if (lists == 0) {
      detach(*graphic);
      sides_.erase(graphic.get());
    }
  }
  sides_undo_[int(side)].manager->registerUndo(
      this, [this, side, removed, indexes] { insertGraphics(side, removed, indexes); });
  for (auto it = indexes.crbegin(); it != indexes.crend(); ++it) list.erase(list.begin() + *it);
  emit graphicsRemoved(side, indexes, removed, drawing_bounds);
  return true;
}

// ---- Observing -------------------------------------------------------------------------

std::optional<CRDDocument::Side> CRDDocument::undo_side_of(const CRDGraphic& graphic) const {
  // An undo or redo records its reverse in its own side's history.
  for (Side side : {Side::Front, Side::Back, Side::Temp}) {
    const Undo_Manager* manager = undoManager(side);
    if ((manager->isUndoing() || manager->isRedoing()) && holds(side, graphic)) return side;
  }
  if (holds(edited_side_, graphic)) return edited_side_;
  return sideOf(graphic);
}

void CRDDocument::graphicWillChange(CRDGraphic& graphic, const QString& key) {
  const auto side = undo_side_of(graphic);
  if (!side) return;
  Pending_Change change;
  change.graphic = &graphic;
  change.key = key;
  change.old_drawing_bounds = graphic.drawingBounds();
  change.undo_side = *side;
  // A kind may record a change under the keys it affects: a line announces a change of
  // its bounds, and its undo keys are its two end points.
  const QStringList undo_keys = graphic.keysForValuesToObserveForUndo();
  QStringList reached;
  if (undo_keys.contains(key)) reached << key;
  for (const QString& affected : graphic.keysAffectedBy(key))
    if (undo_keys.contains(affected) && !reached.contains(affected)) reached << affected;
  for (const QString& undo_key : reached)
    change.old_values.emplace_back(undo_key, graphic.valueForKey(undo_key));
  pending_.push_back(std::move(change));
}

void CRDDocument::graphicDidChange(CRDGraphic& graphic, const QString& key) {
  // Changes nest (a line's end point changes its bounds): match the latest of this key.
  auto it = std::find_if(pending_.rbegin(), pending_.rend(), [&](const Pending_Change& c) {
    return c.graphic == &graphic && c.key == key;
  });
  if (it == pending_.rend()) return;
  const Pending_Change change = std::move(*it);
  pending_.erase(std::next(it).base());
  const auto member = sides_.find(&graphic);
  if (member == sides_.end()) return;
  const unsigned lists = member->second;
  if (lists & side_bit(change.undo_side))
    for (const auto& [undo_key, old_value] : change.old_values)
      record_property_change(change.undo_side, graphic, undo_key, old_value);
  const std::shared_ptr<CRDGraphic> shared = graphic.shared_from_this();
  // Every list holding the graphic hears of it: a change made on the temporary side
  // shows on its real side too.
  for (Side side : {Side::Front, Side::Back, Side::Temp})
    if (lists & side_bit(side)) emit graphicChanged(side, shared, key, change.old_drawing_bounds);
}

void CRDDocument::record_property_change(Side side, CRDGraphic& graphic, const QString& key,
                                         const QVariant& old_value) {
  Side_Undo& undo = sides_undo_[int(side)];
  Undo_Manager* manager = undo.manager;
  // Only while registration is on: values collected now would otherwise stand in for an
  // undo action that was never registered.
  if (!manager->isUndoRegistrationEnabled()) return;
  // Undoing the group removes a graphic inserted in it anyway.
  if (undo.inserted.count(&graphic)) return;
  if (graphic.valueForKey(key) == old_value) return;

  if (!undo.old_properties) {
    undo.old_properties = std::make_shared<CRDMapTableOwner>();
    const std::shared_ptr<CRDMapTableOwner> owner = undo.old_properties;
    manager->registerUndo(this, [this, owner] { setGraphicProperties(*owner); });
  }
  CRDMapTableOwner::Values& values = undo.old_properties->valuesFor(graphic.shared_from_this());
  const bool known = std::any_of(values.begin(), values.end(),
                                 [&](const auto& entry) { return entry.first == key; });
  if (!known) values.emplace_back(key, old_value);  // later changes keep the first old value

  if (manager->isUndoing() || manager->isRedoing()) return;
  const QString name = graphic.presentablePropertyNameForKey(key);
  if (name.isNull()) {
    qCritical(
        "%s",
        qPrintable(
            QStringLiteral("[[%1 class] keysForValuesToObserveForUndo] returns a set that includes "
                           "@\"%2\", but [[%1 class] presentablePropertyNameForKey:@\"%2\"] "
                           "returns nil.")
                .arg(graphic.className(), key)));
    return;
  }
  if (undo.has_multiple_properties) return;
  if (undo.property_name.isNull()) {
    undo.property_name = name;
  } else if (undo.property_name != name) {
    undo.has_multiple_properties = true;
    undo.property_name = QString();
  }
}

void CRDDocument::checkpoint(Side side) {
  Side_Undo& undo = sides_undo_[int(side)];
  undo.has_multiple_properties = false;
  undo.property_name = QString();
  undo.old_properties.reset();
  undo.inserted.clear();
}

// ---- Undo ------------------------------------------------------------------------------

void CRDDocument::setGraphicProperties(const CRDMapTableOwner& properties) {
  for (const auto& [graphic, values] : properties.entries())
    for (const auto& [key, value] : values) graphic->setValueForKey(key, value);
}

void CRDDocument::Enable_Disable_Undo_Registraion(bool enable) {
  for (const Side_Undo& undo : sides_undo_) {
    if (enable)
      undo.manager->enableUndoRegistration();
    else
      undo.manager->disableUndoRegistration();
  }
}

void CRDDocument::Forget_Undo_History(Side side) {
  Undo_Manager* manager = undoManager(side);
  manager->removeAllActions();
  manager->removeAllActionsWithTarget(this);
  checkpoint(side);  // what this group collected belonged to actions now gone
}

void CRDDocument::Forget_Undo_History() {
  for (Side side : {Side::Front, Side::Back, Side::Temp}) Forget_Undo_History(side);
}

void CRDDocument::Clear_All_Undo_Redo() {
  Forget_Undo_History();
  Undo_Manager* front = undoManager(Side::Front);
  front->disableUndoRegistration();
  QList<int> all;
  for (int i = 0; i < int(graphics().size()); ++i) all << i;
  removeGraphicsAtIndexes(Side::Front, all);
  front->enableUndoRegistration();
}

// ---- Document services -----------------------------------------------------------------

QSizeF CRDDocument::canvasSize(bool fixed, const QSizeF& size) {
  return fixed ? QSizeF(243, 154) : size;
}

QString CRDDocument::displayName() const { return QCoreApplication::applicationName(); }

QByteArray CRDDocument::dataOfType(const QString& type, CRDError* error) const {
  if (type == CRDDocumentNewTypeName || type == CRDDocumentOldTypeName) {
    plist::Dictionary data;
    data.insert(CRDDocumentVersionKey, CRDDocumentCurrentVersion);
    data.insert(CRDDocumentGraphicsKey, propertiesWithGraphics(graphics()));
    return plist::Write(data, plist::Format::Binary);
  }
  if (type == QLatin1String("com.adobe.pdf") || type == QLatin1String("public.tiff")) {
    if (Image_Renderer()) return Image_Renderer()(type, graphics(), error);
    return {};
  }
  qWarning("%s", qPrintable(QStringLiteral("Invalid parameter not satisfying: %1").arg(type)));
  return {};
}

void CRDDocument::show_msg(const QString& text) { platform::Message_Box(text); }

void CRDDocument::setPrintInfo(const QPageLayout& layout) {
  emit canvasSizeWillChange();
  print_info_ = layout;
  emit canvasSizeDidChange(QVariant());
}

void CRDDocument::makeWindowControllers() {
  if (first != 0 || !Window_Factory()) return;
  if (QObject* controller = Window_Factory()(*this)) {
    windowControllers_.emplace_back(controller);
    ++first;
  }
}

void CRDDocument::Set_Window_Controller_Factory(Window_Controller_Factory factory) {
  Window_Factory() = std::move(factory);
}

void CRDDocument::Set_Image_Data_Renderer(Image_Data_Renderer renderer) {
  Image_Renderer() = std::move(renderer);
}
