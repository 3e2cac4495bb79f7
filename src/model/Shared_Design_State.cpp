#include "model/Shared_Design_State.h"

#include "model/Design_Window_Services.h"

CRDWindowController* Main_App_wnd = nullptr;
QString Resource_Path;
QString Data_Folder_Path;
const QString batch_file_EXT = QStringLiteral("txt");
const QString design_file_EXT = QStringLiteral("dcard");
const QString Text_Ctrl_Font = QStringLiteral("TimesNewRomanPS-ItalicMT");
const QString CRDSelectedToolDidChangeNotification = QStringLiteral("CRDSelectedToolDidChange");

std::atomic<int> Card_Front_Or_Back{0};
QString CARD_SIDE_STR;
std::atomic<int> Card_Shape{0};
bool Not_Draw_Only_Prop_Change = false;
std::atomic<bool> Card_Value_In_Process{false};
float last_ctrl_X = 10.0f;
float last_ctrl_Y = 10.0f;
QString Project_File_Name;
QString Start_Card_Option = QStringLiteral("T");
bool Fill_User_Profile = false;
QString Library_Selected_Image;
QString lib_window_sel_file;
QString Template_Msg_Val;
QString Selected_Template_Path;

bool Excel_Binding_Use = false;
QString Excel_Source_Path;
std::atomic<bool> Use_Data_Sheet_Values{false};
std::atomic<bool> Use_Excel_Binding_Values{false};
std::atomic<int> Data_table_rows{0};
std::atomic<int> Excel_table_rows{0};
std::atomic<int> Total_Batch_Excel_Card{0};
int Excel_Sheet_Number = 0;
int Excel_Sheet_Columns = 0;
bool Msg_Apply_All_Chk = false;
Shared_Value<QString> export_card_side;
Shared_Value<QString> Export_File_Path;
Shared_Value<QString> Export_File_Message;
std::atomic<bool> Stop_SMS_Sending_Now{false};
std::atomic<bool> Stop_Question_Open{false};
std::atomic<int> list_count{0};
std::atomic<double> curr_barcode_count{0.0};
Shared_Value<QString> curr_msg_count;
const QString unable_saving_Msg = QStringLiteral(
    "Unable to continue saving barcode image.\n\nEither Destination Drive is inaccessible or "
    "there is no free space available in drive to save barcode image.");

Shared_Value<QString> sender_email;
Shared_Value<QString> sender_pwd;
Shared_Value<QString> sending_server;
Shared_Value<QString> sending_port;
Shared_Value<QString> send_enable_ssl;

Shared_Value<Picture> Barcode_output_image;
std::atomic<int> USED_DPI_VALUE{600};
std::atomic<int> Barcode_module_size{1};
std::atomic<int> QR_Version_Val{0};
std::atomic<int> QR_EC_Level_Val{0};
std::atomic<int> QR_Enc_Mode_Val{0};
std::atomic<int> PDF_Col{3};
std::atomic<int> PDF_Row{0};
std::atomic<int> Measument_Unit_Is{0};
std::atomic<int> last_unit_val{0};

QString Cutom_Msg_Title;
QString Cutom_Msg_Val;
QString Custom_Msg_Title;
QString Custom_Msg_Val;
std::atomic<bool> yes_no_msg_val{false};

QString Invite_Title;
QString Invite_Message;
QString Invite_From;
QString Invite_To;
QString Invite_Venue;
QString Invite_Date;
QString Invite_Time;
QString Invite_BG_IMG;

const QString Title_Name = QStringLiteral("Name :");
const QString Title_Title = QStringLiteral("Position / Title :");
const QString Title_Company_name = QStringLiteral("Company Name :");
const QString Title_slogan = QStringLiteral("Company Slogan :");
const QString Title_address = QStringLiteral("Address :");
const QString Title_phone = QStringLiteral("Phone No. :");
const QString Title_fax = QStringLiteral("Fax No. :");
const QString Title_email = QStringLiteral("Email Id :");
const QString Title_website = QStringLiteral("Website :");
const QString Title_unique = QStringLiteral("Unique No. :");
const QString Title_image = QStringLiteral("Photo :");

namespace {
Design_Window_Services* services = nullptr;
}

Design_Window_Services* Window_Services() { return services; }

void Set_Main_App_wnd(CRDWindowController* window, Design_Window_Services* window_services) {
  Main_App_wnd = window;
  services = window_services;
}

void Reset_Shared_Design_State() {
  Resource_Path.clear();
  Data_Folder_Path.clear();

  Card_Front_Or_Back = 0;
  CARD_SIDE_STR.clear();
  Card_Shape = 0;
  Not_Draw_Only_Prop_Change = false;
  Card_Value_In_Process = false;
  last_ctrl_X = 10.0f;
  last_ctrl_Y = 10.0f;
  Project_File_Name.clear();
  Start_Card_Option = QStringLiteral("T");
  Fill_User_Profile = false;
  Library_Selected_Image.clear();
  lib_window_sel_file.clear();
  Template_Msg_Val.clear();
  Selected_Template_Path.clear();

  Excel_Binding_Use = false;
  Excel_Source_Path.clear();
  Use_Data_Sheet_Values = false;
  Use_Excel_Binding_Values = false;
  Data_table_rows = 0;
  Excel_table_rows = 0;
  Total_Batch_Excel_Card = 0;
  Excel_Sheet_Number = 0;
  Excel_Sheet_Columns = 0;
  Msg_Apply_All_Chk = false;
  export_card_side = QString();
  Export_File_Path = QString();
  Export_File_Message = QString();
  Stop_SMS_Sending_Now = false;
  Stop_Question_Open = false;
  list_count = 0;
  curr_barcode_count = 0.0;
  curr_msg_count = QString();

  sender_email = QString();
  sender_pwd = QString();
  sending_server = QString();
  sending_port = QString();
  send_enable_ssl = QString();

  Barcode_output_image = Picture();
  USED_DPI_VALUE = 600;
  Barcode_module_size = 1;
  QR_Version_Val = 0;
  QR_EC_Level_Val = 0;
  QR_Enc_Mode_Val = 0;
  PDF_Col = 3;
  PDF_Row = 0;
  Measument_Unit_Is = 0;
  last_unit_val = 0;

  Cutom_Msg_Title.clear();
  Cutom_Msg_Val.clear();
  Custom_Msg_Title.clear();
  Custom_Msg_Val.clear();
  yes_no_msg_val = false;

  for (QString* s : {&Invite_Title, &Invite_Message, &Invite_From, &Invite_To, &Invite_Venue,
                     &Invite_Date, &Invite_Time, &Invite_BG_IMG})
    s->clear();
}
