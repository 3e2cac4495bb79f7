#pragma once
// The process-wide design state: the values that several subsystems share, with their
// start values. Values that batch-output workers and their timers touch are atomics
// (numbers, flags) or Shared_Value (texts, pictures); the rest belong to the main thread.

#include "model/Picture.h"
#include "model/Shared_Value.h"

#include <QString>

#include <atomic>

class CRDWindowController;
class Design_Window_Services;

// ---- Design window and resources -------------------------------------------------
extern CRDWindowController* Main_App_wnd;  // the one design window; none until it exists
extern QString Resource_Path;              // per-user data folder; "" until prepared
extern QString Data_Folder_Path;           // Resource_Path + "/DataSet"
extern const QString batch_file_EXT;       // "txt"
extern const QString design_file_EXT;      // "dcard"
extern const QString Text_Ctrl_Font;       // "TimesNewRomanPS-ItalicMT", used at 14 points
extern const QString CRDSelectedToolDidChangeNotification;  // "CRDSelectedToolDidChange"

// ---- Current design and panels ---------------------------------------------------
extern std::atomic<int> Card_Front_Or_Back;  // 0 front, 1 back
extern QString CARD_SIDE_STR;                // "2" front and back, "1" front only
extern std::atomic<int> Card_Shape;          // 0 rectangle, 1 rounded rectangle, 2 ellipse
extern bool Not_Draw_Only_Prop_Change;
extern std::atomic<bool> Card_Value_In_Process;
extern float last_ctrl_X;
extern float last_ctrl_Y;
extern QString Project_File_Name;
extern QString Start_Card_Option;  // "T", "W", "L" or ""
extern bool Fill_User_Profile;
extern QString Library_Selected_Image;
extern QString lib_window_sel_file;
extern QString Template_Msg_Val;
extern QString Selected_Template_Path;

// ---- Data binding and batch output -----------------------------------------------
extern bool Excel_Binding_Use;
extern QString Excel_Source_Path;
extern std::atomic<bool> Use_Data_Sheet_Values;
extern std::atomic<bool> Use_Excel_Binding_Values;
extern std::atomic<int> Data_table_rows;
extern std::atomic<int> Excel_table_rows;
extern std::atomic<int> Total_Batch_Excel_Card;
extern int Excel_Sheet_Number;
extern int Excel_Sheet_Columns;
extern bool Msg_Apply_All_Chk;
extern Shared_Value<QString> export_card_side;  // "BOTH", "F" or "B"
extern Shared_Value<QString> Export_File_Path;
extern Shared_Value<QString> Export_File_Message;
extern std::atomic<bool> Stop_SMS_Sending_Now;
// True while the progress sheet's stop question is open: workers begin no new step until
// it is answered (Yes sets Stop_SMS_Sending_Now).
extern std::atomic<bool> Stop_Question_Open;
extern std::atomic<int> list_count;
extern std::atomic<double> curr_barcode_count;
extern Shared_Value<QString> curr_msg_count;
extern const QString unable_saving_Msg;

// ---- E-mail settings -------------------------------------------------------------
extern Shared_Value<QString> sender_email;
extern Shared_Value<QString> sender_pwd;
extern Shared_Value<QString> sending_server;
extern Shared_Value<QString> sending_port;
extern Shared_Value<QString> send_enable_ssl;

// ---- Barcode output --------------------------------------------------------------
extern Shared_Value<Picture> Barcode_output_image;
extern std::atomic<int> USED_DPI_VALUE;
extern std::atomic<int> Barcode_module_size;
extern std::atomic<int> QR_Version_Val;
extern std::atomic<int> QR_EC_Level_Val;
extern std::atomic<int> QR_Enc_Mode_Val;
extern std::atomic<int> PDF_Col;
extern std::atomic<int> PDF_Row;
extern std::atomic<int> Measument_Unit_Is;
extern std::atomic<int> last_unit_val;

// ---- Message texts ---------------------------------------------------------------
extern QString Cutom_Msg_Title;
extern QString Cutom_Msg_Val;
extern QString Custom_Msg_Title;
extern QString Custom_Msg_Val;
extern std::atomic<bool> yes_no_msg_val;

// ---- Start-wizard answers --------------------------------------------------------
extern QString Invite_Title;
extern QString Invite_Message;
extern QString Invite_From;
extern QString Invite_To;
extern QString Invite_Venue;
extern QString Invite_Date;
extern QString Invite_Time;
extern QString Invite_BG_IMG;

// ---- Profile field captions ------------------------------------------------------
extern const QString Title_Name;
extern const QString Title_Title;
extern const QString Title_Company_name;
extern const QString Title_slogan;
extern const QString Title_address;
extern const QString Title_phone;
extern const QString Title_fax;
extern const QString Title_email;
extern const QString Title_website;
extern const QString Title_unique;
extern const QString Title_image;

// Publishes (or withdraws, with nullptrs) the design window and the services the model
// reaches it through. Both pointers name the same object.
void Set_Main_App_wnd(CRDWindowController* window, Design_Window_Services* services);

// Puts every value above back to its start value (for tests). Main_App_wnd stays.
void Reset_Shared_Design_State();
