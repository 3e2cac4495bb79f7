#pragma once
// The one design window: the card's front, back and temporary sides in the design area,
// the tool palette, the toolbar and the property sidebar. Every other part of the program
// reaches the design through it (Main_App_wnd); it implements what the model and the
// canvas ask of the window (Design_Window_Services).
//
// Widgets are built in code. Each named control is a member of its own name and carries
// that name as its object name, so panels and tests find it.

#include "barcode/Barcode_Designer.h"
#include "canvas/CRDGrid.h"
#include "canvas/CRDRenderingView.h"
#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDZoomingScrollView.h"
#include "model/CRDColor.h"
#include "model/CRDDocument.h"
#include "model/CRDGraphic.h"
#include "model/Card_Property.h"
#include "model/Design_Window_Services.h"
#include "model/Picture.h"
#include "profile/User_Profile_Class.h"
#include "output/Batch_Binding.h"
#include "library/Card_Presets.h"
#include "window/Design_File.h"

#include <QDateTime>
#include <QFont>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QSizeF>
#include <QStringList>
#include <QUrl>
#include <QVariantList>

#include <memory>

class QCheckBox;
class QListView;
class Image_Browser_Model;
class MyImageObject;
class QGroupBox;
class QPushButton;
class QSlider;
class Color_Well;
class QCloseEvent;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QToolBar;
class QToolButton;
class Card_Panel;
class Open_Export_Log;
struct Mail_Design_Hooks;
class PleaseWait_Modeless;
class Batch_Export;
class Export_Window;
class Send_Modeless;
class Shape_Panel;
class Line_Panel;
class Text_Panel;
class Picture_Panel;
class Signature_Panel;
class Data_Source_Panel;
class Help_Support;
class Export_Template;
struct Wizard_Hooks;
class Share_It_Dlg;


class CRDWindowController : public QMainWindow, public Design_Window_Services {
  Q_OBJECT

 public:
  // Creates the window for the document, publishes it as Main_App_wnd and prepares it:
  // the resource folder (resource_folder, or the per-user application data folder when
  // empty), the sidebar, the preset list, the hatch pattern lists and the canvas size.
  // When the resource folder cannot be created it says so and ends the program.
  explicit CRDWindowController(CRDDocument* document = nullptr, const QString& resource_folder = {},
                               QWidget* parent = nullptr);
  ~CRDWindowController() override;

  // The window made by the constructor (the same as Main_App_wnd), or nullptr.
  static CRDWindowController* defaultInstance();

  // ---- Document -------------------------------------------------------------------------
  CRDDocument* document() const { return document_; }
  // Connects the front, back and temporary canvases to the document's lists "graphics",
  // "graphics_back" and "graphics_temp" (nullptr: disconnects them).
  void setDocument(CRDDocument* document);

  // ---- Start-up and canvas size ---------------------------------------------------------
  // Writes a card size in millimetres into the sidebar's size steppers and fields.
  void Set_Card_Size_In_Control(QSizeF size_mm);
  // Kept for callers of the document size: the canvases change only through
  // SetDocumentCanvasSize.
  void Set_Document_Size(QSizeF size_points);
  // Gives the front, back and temporary canvases the card size in points.
  void SetDocumentCanvasSize(QSizeF size_points);
  // The zoom of all three canvases (each scroll view's pop-up sets it for all).
  void setZoomFactor(double factor);

  // ---- Presets and the preset list ------------------------------------------------------
  QSizeF Get_My_card_Size(const QString& category, const QString& orientation,
                          int list_index) const;
  void Create_List(const QString& name);
  QString Get_Item_Text(int row) const;
  // Selects that single row of the preset list; a row outside the list selects none.
  void Mark_List_New_Selection(int row);
  // Fills the preset list with the chosen category's presets and selects the card's.
  void Fill_Preset_List();
  // The row of the preset list that has the card's size (the size fields, in the chosen
  // category and orientation): preferred_row when it has, else the first that has; -1
  // for a size of the user's own.
  int Card_Size_Preset_Row(int preferred_row) const;

  // ---- Side lists, units and image saving -----------------------------------------------
  const Graphic_List& Get_Front_Controls_Array() const;
  const Graphic_List& Get_Back_Controls_Array() const;
  Graphic_List Get_Temp_Controls_Array() const;  // a copy
  quint32 Get_Front_Control_Count() const;
  quint32 Get_Back_Control_Count() const;
  quint32 Get_Temp_Control_Count() const;
  static float MM_to_Points_Convert(float millimetres);
  static float Points_to_MM_Convert(float points);
  // PNG data to the path, written whole or not at all; false (after saying the path and
  // the reason) when it could not be written.
  static bool Save_gen_image(const Picture& image, const QString& file_path_val);

  // ---- Tools and placement --------------------------------------------------------------
  int Selected_Control_Tool = 0;
  void Select_tool_action();
  void selectArrowTool();
  // Makes the current tool's object on the current side's canvas at the next cascade
  // position and selects it (the tool-change handler).
  void selectedToolDidChange();

  // ---- Views and refresh ----------------------------------------------------------------
  // Puts the front (0), back (1) or temporary (2) side's view into the design area.
  void changeViewController(int side);
  void Remove_All_Tab_Items();
  // The canvas the window's commands act on: the back side's when Card_Front_Or_Back is
  // not 0, else the front side's (also while the temporary side is shown).
  CRDGraphicView* current_canvas() const;
  // The canvas of the side shown in the design area (the temporary one included): Undo
  // and Redo act on its history, and their buttons and menu items follow it.
  CRDGraphicView* shown_canvas() const;

  // ---- Property sidebar -----------------------------------------------------------------
  // Shows the card's tabs (nullptr; the current side's canvas then selects nothing) or
  // the tabs of the object's kind, and puts the tool back to the arrow; does nothing while
  // Not_Draw_Only_Prop_Change is set. The panels' controls are loaded by the panels
  // themselves.
  void Show_RHS_Properties(const std::shared_ptr<CRDGraphic>& graphic) override;
  // The object the sidebar shows for the current side's selection: the canvas's
  // remembered graphic while it is selected, else the front-most selected one; none when
  // nothing is selected (a graphic the canvas remembers from an older selection is not it).
  std::shared_ptr<CRDGraphic> Shown_Selection() const;
  // The sidebar and the edit buttons follow the current side's selection (after a
  // dialog, whatever it did to the selection).
  void Show_Selection_Properties() { Show_RHS_Properties(Shown_Selection()); }

  // ---- Services for output and series ---------------------------------------------------
  QStringList Get_Files_Array_At_Path(const QString& folder) const;
  QStringList Get_datasheet_File_Name_Array() const;
  bool Check_Batch_File_In_Use_Validation(const QString& series_name) const;
  // Removes the spreadsheet import's unpack folder "ziptmp" and all in it.
  void Delete_Excel_File_Temp_Folder();
  QString Get_date_Value(const QString& pattern) const;
  QString Get_time_Value(const QString& pattern) const;
  QString Convert_Path_From_URL(const QUrl& url) const;
  bool Check_And_Validate_File_Path(const QString& path) const;
  // The export result box for Export_File_Path and Export_File_Message.
  void Open_Export_File_Box();
  // The please-wait sheet over the design window, and its end.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();
  // The batch export's progress sheet (Send_Models_Window, set by the batch export).
  void Show_One_By_One_Modeless();
  void Hide_One_By_One_Modeless();

  // ---- Design_Window_Services -----------------------------------------------------------
  QFont All_Text_font() const override;
  CRDColor All_Text_clr() const override;
  QPointF Control_New_Point(const QString& side) override;
  QRectF Front_Canvas_Bounds() const override;
  void Set_Align_With_Grid_Enabled(bool enabled) override;
  void Refresh_Canvas() override;
  Card_Property* Side_Card_Property(int side) override;
  void Show_Card_Properties() override { Show_RHS_Properties(nullptr); }
  // The class name of the current tool's objects, "" for none.
  QString currentGraphicClass() const override;
  int Current_Control_Tool() const override { return Selected_Control_Tool; }
  // The pictures loaded at start, by field name.
  Picture Loaded_Picture(const QString& field_name) override;

  // ---- Fields ---------------------------------------------------------------------------
  std::weak_ptr<CRDGraphic> Last_Selected_Graphic;  // compared by identity only
  CRDGrid* _grid = nullptr;
  double _zoomFactor = 1.0;
  QFont Text_font;
  QStringList paper_card_arry;
  QStringList pvc_card_arry;
  QString act_path_location;  // root of the picture library
  Picture no_image, banner_image, promotion_pattern_image, wizard_pattern_image, sign_sample_img,
      fp_sample_img, barcode_sample_img;
  QString App_Name;
  Card_Property Front_card_Prop;
  Card_Property Back_card_Prop;
  QVariantList data_table_content;
  QVariantList images;
  Preset_List* ListData = nullptr;
  bool align_with_grid_enabled = false;

  // The design area and the three side views with their zooming canvases.
  QWidget* myTargetView = nullptr;
  QWidget* first_view = nullptr;
  QWidget* second_view = nullptr;
  QWidget* temp_design_view = nullptr;
  int shown_side = 0;  // the side view in the design area: 0 front, 1 back, 2 temporary
  CRDZoomingScrollView* _zoomingScrollView = nullptr;
  CRDZoomingScrollView* _zoomingScrollView_BACK = nullptr;
  CRDZoomingScrollView* _zoomingScrollView_TEMP = nullptr;
  CRDGraphicView* _graphicView = nullptr;
  CRDGraphicView* _graphicView_BACK = nullptr;
  CRDGraphicView* _graphicView_TEMP = nullptr;
  QLabel* Front_back_label = nullptr;

  // The sidebar and its fifteen pages (kept while they are out of the tab view).
  QTabWidget* sett_tab = nullptr;
  QWidget *card_setting_tab = nullptr, *card_info_tab = nullptr, *card_size_tab = nullptr,
          *card_bkgd_tab = nullptr, *card_brdr_tab = nullptr, *line_tab = nullptr,
          *shape_tab = nullptr, *text_edtng_tab = nullptr, *text_prop_tab = nullptr,
          *image_tab = nullptr, *sign_tab = nullptr, *datasource_tab = nullptr,
          *aligmnt_tab = nullptr, *barcode_tab = nullptr, *Lock_tab = nullptr;
  QLineEdit* sel_control_name = nullptr;  // kind now shown: "NONE", "T", "I", "S", "F"

  // Controls that start-up fills.
  QComboBox* Sides_ComboBox = nullptr;
  QComboBox* Preset_ComboBox = nullptr;
  QComboBox* Category_ComboBox = nullptr;
  QTableView* ColList = nullptr;
  QDoubleSpinBox* width_Stepper = nullptr;
  QLineEdit* width_Text = nullptr;
  QDoubleSpinBox* height_Stepper = nullptr;
  QLineEdit* height_Text = nullptr;
  QComboBox* Card_image_layout = nullptr;
  QComboBox* Card_hatch_style = nullptr;
  QLineEdit* Card_bor_Text = nullptr;
  QSpinBox* Card_bor_Stepper = nullptr;
  QComboBox* Card_border_style = nullptr;
  QComboBox* shape_border_style = nullptr;
  QComboBox* shape_hatch_style = nullptr;
  QComboBox* Text_Date_style = nullptr;
  QComboBox* Text_Time_style = nullptr;
  QComboBox* Text_align_combo = nullptr;
  QComboBox* Text_case_combo = nullptr;

  // Toolbar buttons whose states the sidebar sets.
  QToolButton *Undo_btn = nullptr, *Redo_btn = nullptr, *Cut_btn = nullptr, *Copy_btn = nullptr,
              *Paste_btn = nullptr, *Delete_btn = nullptr, *Begin_Front_btn = nullptr,
              *Send_Back_btn = nullptr, *Lock_btn = nullptr, *Unlock_btn = nullptr;

  // The Edit menu (Undo, Redo, Cut, Copy, Paste, Delete, Select All): each item and its
  // shortcut is the command of command_canvas(), enabled as that canvas says, except that
  // a text field with the focus keeps its own Cut, Copy, Paste, Delete and Select All.
  QMenu* Edit_menu = nullptr;

  // Sheets and boxes.
  Open_Export_Log* Open_Export_Files = nullptr;
  PleaseWait_Modeless* plz_wait_Window = nullptr;
  QPointer<QWidget> Send_Models_Window;  // the batch export's progress sheet

  // ---- Card side: card panel, sides, edit commands, design reset, picture library ------
  // (CRDWindowController_Card.cpp)
  Card_Panel* card_panel = nullptr;  // the card tabs' controls and handlers
  User_Profile_Class Front_user_profile, Back_user_profile, TEMP_user_profile;
  QToolButton *New_btn = nullptr, *Front_Card_Btn = nullptr, *Back_Side_btn = nullptr,
              *Temp_Card_Btn = nullptr, *Card_Prop_btn = nullptr, *Card_Bckgrnd_btn = nullptr;
  QCheckBox* print_object_chk = nullptr;  // on: the object is left out of card pictures
  // Standard edit buttons for an unlocked object, the card, a locked object.
  void Enable_Standard_Button_For_Control();
  void Enable_Standard_Button_For_Unlock() { Enable_Standard_Button_For_Control(); }
  void Disable_Standard_Button_For_Card();
  void Disable_Standard_Button_For_Lock();
  void Set_Paste_Button_Status() override;
  void Undo_Redo_Button_state() override;
  // Edit commands: each goes to the current side's canvas.
  void Undo_Clicked();
  void Redo_Clicked();
  void Cut_Clicked();
  void Copy_Clicked();
  void Paste_Clicked();
  void Delete_Clicked();
  void Begin_Front_Clicked();
  void Send_Back_Clicked();
  void Lock_Clicked();
  void Unlock_Clicked();
  void Card_Prop_Clicked();
  void Card_Bckgrnd_Clicked();
  void Print_object_chk_changed();
  // Sides: the temporary side shows the current side's own objects and keeps
  // Card_Front_Or_Back.
  void Select_front_side();
  void Select_back_side();
  void Select_temp_design_side();
  void Temp_Design_Control_Assign();
  void Front_Card_Btn_Clicked() { Select_front_side(); }
  void Back_Card_Btn_Clicked() { Select_back_side(); }
  void Temp_Card_Btn_Clicked();
  // The design back to its defaults; New_Project then shows the card.
  void New_Project_Setting_Reset();
  void New_Project();
  // Runs the picture library ("C" object pictures, any other mode backgrounds); on OK the
  // chosen file is in lib_window_sel_file. Answers the modal code.
  int Open_Image_Library_Window(const QString& mode);
  // Every combo box of the window reports here, also when the program selects an item.
  void comboBoxSelectionDidChange(QComboBox* combo);
  // Selects a combo's item by program and reports it even when the index stays.
  void Select_Combo_Item(QComboBox* combo, int index);
  void Show_Card_Image_Path(const QString& path) override;
  void Update_Card_Graphics();
  void Update_All_Card_Content();
  // ---- Export and batch record binding (CRDWindowController_Export.cpp) -----------------
  // The toolbar's Export: the options window, then a single file or a batch folder.
  void Export_Button();
  // The batch check of the live design: which sources are in use and the record count
  // (Use_Data_Sheet_Values, Use_Excel_Binding_Values, Data_table_rows, Excel_table_rows,
  // Total_Batch_Excel_Card); the values are kept for the run.
  void Check_Series_Or_Excel_Use_or_not();
  // Recounts after a source flag was cleared.
  void Get_total_Card_count();
  // Writes record i into the live side ("F" front, else back; Card_Front_Or_Back follows)
  // and answers its picture. A bound barcode that cannot be drawn is shown in a message.
  Picture Set_data_table_value_to_card(int record, const QString& card_side, bool print_box,
                                       Binding_Report* report = nullptr);
  // Record 0 back into the front; the canvas redraws again. Shows nothing: the run that
  // ends with it has reported its records.
  void Select_first_row_value_for_design(bool print_box);
  // The design as it is, to the path: side by export_card_side, combined as ticked. The
  // after-export box follows (with show) only when the file was written.
  bool Export_Single_File(const QString& path, bool show_msg);
  // Starts the batch export into "ZELK Festival Greeting Card" inside the folder; returns
  // at once (the progress sheet shows the run; Current_Batch_Export() until it ends).
  void Export_Batch_File(const QString& folder);
  Batch_Export* Current_Batch_Export() const;
  Export_Window* ExportWindow = nullptr;
  Send_Modeless* send_modls_wnd = nullptr;
  QToolButton* Export_btn = nullptr;
  Batch_Values batch_values;       // the last batch check
  Barcode_Designer batch_designer;  // regenerates bound barcodes of the live design

  static const QStringList& Date_Formats();  // offered by the text panel, in this order
  static const QStringList& Time_Formats();

  // ---- E-mail (CRDWindowController_Mail.cpp) ---------------------------------------------
  // The stored SMTP settings copied into the process-wide ones that sending reads.
  void Get_Email_Details();
  // The toolbar's Mail: the batch check, then the mail dialog (lent the design's hooks).
  void Mail_Button();
  // What the mail dialog may ask of the design: the batch check, a run's card renderer
  // (copies of both sides), the write-back of record 0, re-reading the settings.
  Mail_Design_Hooks mail_hooks();
  QToolButton* Mail_btn = nullptr;

 signals:
  // The tool changed ("CRDSelectedToolDidChange"); delivered at once.
  void Selected_Tool_Did_Change();

 public slots:
  void Arrow_Tool_Clicked() { Tool_Clicked(0); }
  void Line_Tool_Clicked() { Tool_Clicked(1); }
  void Text_Tool_Clicked() { Tool_Clicked(2); }
  void Rect_Tool_Clicked() { Tool_Clicked(3); }
  void Circle_Tool_Clicked() { Tool_Clicked(4); }
  void Round_Rect_Tool_Clicked() { Tool_Clicked(5); }
  void Triangle_Tool_Clicked() { Tool_Clicked(6); }
  void Diamond_Tool_Clicked() { Tool_Clicked(7); }
  void Image_Tool_Clicked() { Tool_Clicked(8); }
  void Image_Library_Tool_Clicked() { Tool_Clicked(9); }
  void Barcode_Tool_Clicked() { Tool_Clicked(10); }
  void Signature_Tool_Clicked() { Tool_Clicked(11); }
  void Fingure_Print_Tool_Clicked() { Tool_Clicked(12); }
  void Star_Tool_Clicked() { Tool_Clicked(13); }
  void Double_Star_Tool_Clicked() { Tool_Clicked(14); }
  void Polygon_Tool_Clicked() { Tool_Clicked(15); }

 private:
  void Tool_Clicked(int tool);
  void build_window();
  QWidget* build_side_view(const QString& name, CRDZoomingScrollView*& scroll,
                           CRDGraphicView*& canvas);
  QWidget* build_tool_palette();
  void build_toolbar();
  void build_edit_menu();
  // The canvas among the three that has the keyboard focus in this window, or nullptr.
  CRDGraphicView* focused_canvas() const;
  void build_sidebar();
  void awakeFromNib(const QString& resource_folder);
  void build_card_side();  // CRDWindowController_Card.cpp
  void Run_On_Current_Canvas(void (CRDGraphicView::*command)());
  void Set_Lock_State(bool locked);

  void add_export_button(QToolBar* toolbar);
  void add_mail_button(QToolBar* toolbar);
  Card_Side_Snapshot export_snapshot(int side);
  void batch_export_ended(const QString& folder, int side_before,
                          const QStringList& missing_pictures);
  // The picture files of unbound picture objects on the exported side or sides ("F", "BOTH",
  // else the back) that are gone: named in the export's result.
  QStringList exported_missing_pictures(const QString& side);
  QPointer<Batch_Export> batch_export_;

  QPointer<CRDDocument> document_;

  // ---- Printing (CRDWindowController_Print.cpp) ------------------------------------------
 public:
  // The toolbar's Print: the batch check, "List is empty." for a binding without records,
  // then Print_method.
  void Print_Button();
  // "No printer found." without printers, else the print dialog.
  void Print_method();
  // File > Print...: the front side in the document's 243 x 154 point frame, through the
  // platform's print dialog.
  void Print_Document();
  // The File menu, made on first use.
  QMenu* File_menu();
  QToolButton* Print_btn = nullptr;
  QAction* Print_menu_item = nullptr;

 private:
  void add_print_button(QToolBar* toolbar);
  void install_print_hooks();

  // ---- Series dialogs (CRDWindowController_Series.cpp) ----------------------------------
 public:
  QToolButton *Batch_Series_btn = nullptr, *Create_Series_btn = nullptr;
  // Lends the series dialogs this window's in-use test and export-result box (done by the
  // constructor).
  void Install_Series_Hooks();

 public slots:
  // Opens the series manager (also used by the profile dialogs).
  void Batch_Series_Button();
  // Opens the series generator to write a named series.
  void Create_Series_Button();

 private:
  // Adds an enabled toolbar button for a series command (a separator before the first).
  void Add_Series_Button(QToolBar* toolbar, QToolButton*& button, const char* name,
                         const char* label, void (CRDWindowController::*slot)());

  // ---- Barcode designer (CRDWindowController_Barcode.cpp) ---------------------------------
 public:
  QPushButton* View_barcode_prop_btn = nullptr;  // on barcode_tab: opens the designer
  // Runs the designer on the current side's selected graphic; after OK gives its settings and
  // picture to the selected graphics (Update_Barcode_Graphics).
  void Open_Barcode_Window() override;
  // Every selected graphic of the current side takes the source's barcode settings and the
  // print flag of print_object_chk; every selected barcode the picture Barcode_output_image.
  // Nothing while Not_Draw_Only_Prop_Change is set or nothing is selected.
  void Update_Barcode_Graphics(const std::shared_ptr<CRDGraphic>& source);
  // The symbol a new barcode shows: a designer of its own draws the object's settings
  // (the dialog is not touched); none when they make no symbol.
  Picture New_Barcode_Picture(const std::shared_ptr<CRDGraphic>& barcode) override;

 public slots:
  void View_barcode_prop_Button();

 private:
  // The Barcode tab's button and what the designer borrows of the window (done by the
  // constructor).
  void build_barcode_tab();

  // ---- Focus, shortcuts, layout and placement (CRDWindowController_Focus_Layout.cpp) ----
 public:
  // The canvas the Edit menu and its shortcuts act on, whatever widget has the focus: the
  // canvas with the keyboard focus, else the shown side's (shown_canvas).
  CRDGraphicView* command_canvas() const;
  // The smallest viewport of a side's scroll view that the window's minimum size keeps.
  static constexpr QSize Minimum_Canvas_Viewport{200, 150};

 private:
  // The Edit menu's shortcuts for a command's standard key: Redo also answers Ctrl+Y.
  static QList<QKeySequence> edit_shortcuts(QKeySequence::StandardKey key);
  // A text field with the focus keeps its own cut, copy, paste, delete and select all:
  // false when the command is not such a field's; else *enabled (when given) says whether
  // the field can do it now, and with run it does it.
  bool text_field_command(CRDGraphicView::Command command, bool run, bool* enabled) const;
  bool edit_command_enabled(CRDGraphicView::Command command) const;
  void run_edit_command(CRDGraphicView::Command command, void (CRDGraphicView::*run)());
  // One fixed width for the sidebar on every page; a minimum window size that keeps the
  // canvas usable.
  void fit_layout();
  // The window's frame inside the screen's available area.
  void place_window();

  // ---- Object panels, picture tools and data binding (CRDWindowController_Objects.cpp) --
 public:
  Shape_Panel* shape_panel = nullptr;
  Line_Panel* line_panel = nullptr;
  Text_Panel* text_panel = nullptr;
  Picture_Panel* picture_panel = nullptr;
  Signature_Panel* signature_panel = nullptr;
  Data_Source_Panel* data_source_panel = nullptr;
  // Each writes its panel into every selected graphic of the current side.
  void Update_Shape_Graphics();
  void Update_Line_Graphics();
  void Update_Text_Graphics();
  void Update_Image_Graphics();
  void Update_Sign_Graphics();
  void Reset_Image_Editing_Controls() override;
  // The open panel for a picture file (picture tool, picture browse).
  bool Browse_User_Image_Manually();
  // Fills the panels of the object's kind (the sidebar holds Not_Draw_Only_Prop_Change).
  void Load_Object_Panels(CRDGraphic& graphic);
  // The object panels' and data-source combos; false for any other combo.
  bool Object_Combo_Changed(QComboBox* combo);
  // Design-time binding: combo fillers (nothing selected afterwards), first values, the
  // "Excel" choice, and the data-source page's buttons.
  void Fill_Data_Set_File_Name_In_Combo(QComboBox* combo);
  void Fill_Excel_Col_Name_In_Combo(QComboBox* combo);
  QString Get_First_Value_Of_Dataset(const QString& name) const;
  QString Get_First_Value_Of_Excel_Binding(int column) const;
  void Add_Excel_Col_Name_In_Combo(QComboBox* combo);
  void Remove_Excel_Col_Name_In_Combo(QComboBox* combo);
  void View_batch_Series_Button();
  void Data_Source_Help_Button();

 private:
  void build_object_panels();
  // Tools 8 and 9 choose their picture first; false: nothing is made.
  bool picture_tool_step();

  // ---- Start screen, invitation fill, greeting picker (CRDWindowController_Start.cpp) ---
 public:
  // The start screen: runs the invitation wizard. Any answer but 1 ends the program
  // through the seam (status 0; 1 when the wizard could not be opened). With the wizard's
  // choice "W" the card gets the invitation's texts and background, without undo history;
  // a design opened from the start screen ("L") stays as it was loaded. main runs it once
  // the window is on screen; New_Project runs it again.
  void Open_Start_Window();
  void newDocumentWindow() { Open_Start_Window(); }
  // The invitation's answers as texts on the front side, then its background.
  void Fill_Party_Invidation_Details();
  // The text panel's "Use Template Title" / "Use Template Message": the greeting picker;
  // on OK its text replaces the editor's and goes into the selected text.
  void Insert_Template_Button();
  void Open_Support_Mail();
  // The reset, sidebar and refresh of a new design, without the start screen.
  void new_design();

  // ---- User profile (CRDWindowController_Profile.cpp) -----------------------------------
 public:
  QToolButton* User_Profile_btn = nullptr;
  // The toolbar's Profile: the designer profile dialog for the current side, then (on
  // OK) that side's fill; the canvas is redrawn either way.
  void User_Profile_Button_Clicked();
  // Opens the designer dialog for a side ("F", "B") or the general one (""); mode true
  // loads the side's profile objects first. Answers 1 OK (Fill_User_Profile is then set),
  // 0 Cancel.
  int Open_User_Profile_Window(bool mode, const QString& side);
  // The side's profile record onto its canvas (front and back only after a confirmed
  // dialog); the temporary fill serves the dialogs' preview.
  void Fill_User_profile_info_front_side();
  void Fill_User_profile_info_back_side();
  void Fill_User_profile_info_TEMP_side();
  void Fill_User_profile_Details();
  // Where the fill places a new object of the profile field with the control ID.
  QRectF Get_Control_Rect_From_Template(const QString& control_id) const;

 private:
  void add_profile_button(QToolBar* toolbar);
  void Install_Profile_Services();
  void Fill_Profile_Side_Of(CRDGraphicView* canvas, User_Profile_Class& record, bool design_side);
  Graphic_List Profile_Preview();

  // ---- Series import (CRDWindowController_Import.cpp) -----------------------------------
 public:
  QToolButton* Import_Wizard_btn = nullptr;
  // Lends the spreadsheet imports the long message dialog for their questions (done by the
  // constructor).
  void Install_Import_Hooks();

 public slots:
  // Opens the import wizard to write a named series.
  void Import_Wizard_Button();

  // ---- Card wizard, templates, help, share, review and promotion ------------------------
  // ---- (CRDWindowController_Templates.cpp) ----------------------------------------------
 public:
  QToolButton *Help_btn = nullptr, *Share_btn = nullptr;
  QToolButton* Export_Template_btn = nullptr;
  QAction *Card_Wizard_menu_item = nullptr, *New_Template_menu_item = nullptr,
          *Export_Template_menu_item = nullptr, *Help_menu_item = nullptr;
  // File > New from Template...: the template library; on OK its design is loaded untitled.
  int New_From_Template();
  // Keeps the design as a user template: the name window, then the design file and a
  // combined picture of both sides in Templates/User. Success is said only when both
  // files were written.
  void Export_As_Template_Clicked();
  // The design file "<base>.dcard" and the combined picture "<base>.png" of the current
  // design; false with the reason when either was not written. The design keeps its own
  // file name.
  bool Write_Template(const QString& base, QString* failure);
  // File > Card Wizard...: the card size and outline; OK resizes the canvases, and both
  // sides' settings and the card panel take the wizard's outline, category, orientation
  // and preset.
  int Open_Card_Wizard();
  // The toolbar's Help: the help and support window.
  void Help_Button();
  // The toolbar's Share: the social-comments page.
  void Share_It_Button_Clicked();
  // Help > Share...: the share window.
  void Open_Share_Window();
  // The review window shown before the program ends.
  void Show_Review_Window();
  // Help > the three products: the promotion window for "S", "R" or "B".
  void Open_Promotion(const QString& software_type);
  // Link actions: each opens one fixed address.
  void Open_Reseller_Mail();
  void Open_Website_1();
  void Open_Website_2();
  void Open_Website_3();
  void Open_Google_Plus();
  void Open_FaceBook();
  void Open_Twitter();
  void Open_FB_Like();
  void Open_Share_It_Dl();

 private:
  void add_template_commands(QToolBar* toolbar);
  void build_template_menu_items();
  // What the card wizard and the template library may ask of this window.
  Wizard_Hooks wizard_hooks();
  Export_Template* export_template_window_ = nullptr;
  Help_Support* help_window_ = nullptr;
  Share_It_Dlg* share_window_ = nullptr;

  // ---- Arrange and grid commands (CRDWindowController_Arrange.cpp) --------------------
 public:
  QPushButton *Align_Left_btn = nullptr, *Align_Right_btn = nullptr, *Align_Top_btn = nullptr,
              *Align_Bottom_btn = nullptr, *Align_Horz_btn = nullptr, *Align_Vert_btn = nullptr,
              *Align_Center_btn = nullptr, *Align_To_Grid_btn = nullptr,
              *Make_same_width_btn = nullptr, *Make_same_height_btn = nullptr,
              *Make_natural_size_btn = nullptr;
  QToolButton *Grid_btn = nullptr, *Snap_btn = nullptr;
  // The grid settings' controls (shown in Grid_Wizard while it runs).
  Color_Well* Grid_clr = nullptr;
  QSlider* Grid_Space_slidr = nullptr;  // whole points, 1 to 72
  QCheckBox* Show_hide_grid_chk = nullptr;
  QGroupBox* Grid_Opt_box = nullptr;
  // Each acts on the current side's canvas and redraws it.
  void Align_Center_Clicked();
  void Align_Left_Clicked();
  void Align_Right_Clicked();
  void Align_Top_Clicked();
  void Align_Bottom_Clicked();
  void Align_Horz_Clicked();
  void Align_Vert_Clicked();
  // "Please select more than one control." with fewer than two selected.
  void Make_Same_Width_Clicked();
  void Make_Same_Height_Clicked();
  void Make_Natural_Clicked();
  // "Please use grid option first." unless the grid is shown and usable.
  void Align_To_Grid_Clicked();
  void toggleGridConstraining();
  // Loads the grid controls and runs the grid settings dialog.
  void toggleGridShowing();
  void Grid_Clr_Changed();
  void Grid_Slider_Changed();
  void Grid_Show_Hide_Changed();
  void Set_Same_Size_Buttons_Enabled(bool enabled) override;

 private:
  void build_arrange_commands();
  void Arrange_On_Current_Canvas(void (CRDGraphicView::*command)());
  void Make_Same_Size(void (CRDGraphicView::*command)());
  void Sync_Grid_Controls();
  QWidget* grid_controls_ = nullptr;
  QLabel* grid_spacing_label_ = nullptr;

  // ---- Background gallery (CRDWindowController_Gallery.cpp) ------------------------------
 public:
  QListView* imageBrowser = nullptr;  // on the card's background page
  QString selected_image;             // the path of the picture picked last
  // Fills the gallery from Resource_Path/"Background" (png and jpg, by name); a missing
  // folder leaves it as it was.
  void Load_and_fill_backgrounds();
  void addImageWithPath(const QString& path, const QString& imageName, const QString& image_UID);
  const QList<MyImageObject>& gallery_images() const;
  // A picked picture becomes the front side's background.
  void imageBrowserSelectionDidChange();

 private:
  void build_gallery();
  Image_Browser_Model* gallery_images_ = nullptr;

  // ---- Design file: New, Open, Save, Save As, Exit, the title (CRDWindowController_File.cpp)
 public:
  QToolButton *Open_btn = nullptr, *Save_btn = nullptr, *SaveAs_btn = nullptr,
              *Exit_btn = nullptr;
  // Writes the design to Project_File_Name, asking for a name first when there is none or
  // save_as is set. Answers whether the file was written (whole, or the old one stays);
  // a cancelled panel writes nothing and puts the name back. With show_msg the result is
  // shown and the title follows. *failure gets the reason of a failed write.
  bool Save_project_file(bool save_as, bool show_msg, QString* failure = nullptr);
  // Asks the question and saves on Yes; false when Yes did not save (a cancelled panel or a
  // failed write), and the design must then stay as it is.
  bool Save_Changes_First(const QString& question, bool show_msg);
  // Opens a design file: 1 when loaded; 0, with "File is corrupt and cannot be opened." and
  // the reason, and nothing changed, when any part of it fails its checks. Mode "L" takes
  // the path as the design's file; any other mode opens it untitled.
  int Read_and_load_design_Log(const QString& path, const QString& mode);
  // The open panel, then Read_and_load_design_Log with "L"; 0 when cancelled.
  int Open_Log_File();
  // "App ( file name )" while the design's file exists, else the application name.
  void Set_Log_Name_In_Title();
  void New_Btn_Clicked();
  void Open_Btn_Clicked();
  void Save_Btn_Clicked();
  void SaveAs_Btn_Clicked();
  void Exit_Btn_Clicked();
  // Asks to save, saves, ends the program. Answers false (the program goes on) when the
  // save was asked for and did not happen.
  bool Exit_App();
  // The design as the file stores it (clears the unused background paths in memory too).
  design_file::Design_Contents Current_Design_Contents();
  // The design file's limits, checked where content comes in (paste, the data table).
  QString Design_Refuses_Graphics(const Graphic_List& added) override;
  Graphic_Read_Budget Design_Picture_Budget(const CRDGraphic* replacing) override;
  // Why the picture file cannot come into the design (the design's pictures would pass
  // what a design file opens), for a message; "" when it can. `replacing`: the graphic
  // whose picture it replaces.
  QString Design_Refuses_Picture_File(const QString& path, const CRDGraphic* replacing = nullptr);
  QString Design_Refuses_Table(const QStringList& titles,
                               const QList<QMap<QString, QString>>& rows) override;
  qint64 Design_Table_Most_Rows(int columns) override;
  QString Design_Refuses_Table_Rows(const QStringList& titles, qint64 rows) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_file_commands();
  void Apply_Design(design_file::Design_Contents design, const QString& path, const QString& mode);

  // ---- Rulers and the document's canvas size (CRDWindowController_Rulers.cpp) -----------
 public:
  // The ruler check box (under the tool palette, with the grid's buttons): toggles the rulers of the front, back and temporary
  // canvases, each from its own state (canvases whose rulers differ stay different).
  void Show_Hide_Ruler_ChkBox();
  // Gives the scroll views of the three canvases a horizontal and a vertical ruler, in
  // the millimetres the card panel shows.
  void Give_Canvases_Rulers();
  // The check box shows the rulers of the side shown, the Edit menu item ("Show Ruler" /
  // "Hide Ruler") those of the canvas it acts on.
  void Show_Ruler_State();
  // A change of the document's "canvasSize": a size (points) goes to all three canvases
  // (SetDocumentCanvasSize); a null value is ignored.
  void Document_Canvas_Size_Changed(const QVariant& canvas_size);
  QCheckBox* Show_Ruler_chk = nullptr;
  QAction* Show_Hide_Ruler_menu_item = nullptr;

 private:
  // Under the tools, beside the grid's buttons.
  void add_ruler_check_box();
  void add_ruler_menu_item();
  void observe_canvas_size(CRDDocument* document);
  QMetaObject::Connection canvas_size_connection_;

  // ---- The window's look (CRDWindowController_Look.cpp) ---------------------------------
 public:
  // Icons and tooltips from the look table, the toolbar's two rows, the tool pictures;
  // run once the window and all its buttons are built.
  void Apply_Window_Look();
  // The tool button of the current tool (Selected_Control_Tool) shows as checked.
  void Show_Current_Tool();

 private:
  // The widest row of sidebar tabs that shows at once (the pages of one kind of object,
  // with the card's pages and Alignment).
  int Widest_Tab_Row() const;
};
