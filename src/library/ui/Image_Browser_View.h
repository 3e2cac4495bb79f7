#pragma once
// The thumbnail view that every image browser of the program shows its items in: icon
// mode, single selection, items reordered by dragging, thumbnails sized by a zoom.

class Image_Browser_Model;
class QListView;
class QSlider;
class QWidget;

// A view of the model (named objectName "imageBrowser").
QListView* Make_Image_Browser(Image_Browser_Model* model, QWidget* parent);
// Zoom 1 shows thumbnails of 240 pixels; the model reads them at that size.
void Set_Image_Browser_Zoom(QListView* view, Image_Browser_Model* model, double zoom);
// A zoom chosen by the program: the slider shows it and its handler zooms the view (the view
// is zoomed here when the slider already shows it).
void Set_Browser_Zoom(QSlider* slider, QListView* view, Image_Browser_Model* model, double zoom);
