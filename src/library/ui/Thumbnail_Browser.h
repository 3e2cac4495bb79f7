#pragma once
// The thumbnail grid that the picture and template libraries share: an icon-mode list
// view on an Image_Browser_Model with drag reordering, and its zoom.

class Image_Browser_Model;
class QListView;
class QSlider;
class QWidget;

QListView* Make_Thumbnail_Browser(QWidget* parent, Image_Browser_Model* model);
// Thumbnails of the zoom's percent of the full size (240 pixels at 100).
void Zoom_Thumbnail_Browser(QListView* browser, Image_Browser_Model* model, int percent);
// Puts the slider at the zoom (0..1); the browser follows through the slider's signal,
// or at once when the slider stays where it is.
void Set_Browser_Zoom(QSlider* slider, QListView* browser, Image_Browser_Model* model,
                      double zoom);
