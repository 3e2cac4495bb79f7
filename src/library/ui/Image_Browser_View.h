#pragma once
// The thumbnail view that every image browser of the program shows its items in: icon
// mode, single selection, items reordered by dragging, thumbnails sized by a zoom.

class Image_Browser_Model;
class QListView;
class QWidget;

// A view of the model (named objectName "imageBrowser").
QListView* Make_Image_Browser(Image_Browser_Model* model, QWidget* parent);
// Zoom 1 shows thumbnails of 240 pixels; the model reads them at that size.
void Set_Image_Browser_Zoom(QListView* view, Image_Browser_Model* model, double zoom);
