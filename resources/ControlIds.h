// Control identifiers of the main window, one per named control.
//
//   HWND edit = GetDlgItem(groupBox, ID_Edit3);
//
// The window is built from the layout table with these identifiers, and the
// end-to-end driver finds controls by name through kControlNames.
#pragma once

enum ControlId : int {
  ID_pc = 100,
  ID_tsRus, ID_tsUkr, ID_tsBulg, ID_tsOptions,
  ID_Panel1, ID_Button6, ID_Button9,
  ID_gbRasSchet, ID_Label1, ID_Edit3, ID_Button3, ID_Edit6,
  ID_gbCheckORGN, ID_Edit8, ID_Button7,
  ID_gbCheckOKPO, ID_Edit5, ID_Button5,
  ID_gbCorSchet, ID_Label2, ID_Edit4, ID_Button4, ID_Edit7,
  ID_gbCheckPU, ID_Edit2, ID_Button2,
  ID_gbCheckINN, ID_Edit1, ID_Button1,
  ID_gbRachSchetUkr, ID_Label9, ID_Edit9, ID_Edit10, ID_Button8,
  ID_GroupBox1, ID_Edit11, ID_Button10,
  ID_Image1, ID_Label3, ID_Label4, ID_Label5, ID_Label6, ID_Label7, ID_Label8,
  ID_gbLang, ID_CmbBxLang,
};

struct ControlName {
  const wchar_t* name;
  int id;
};

#define TESSARIN_CONTROL(n) {L## #n, ID_##n}
inline constexpr ControlName kControlNames[] = {
    TESSARIN_CONTROL(pc), TESSARIN_CONTROL(tsRus), TESSARIN_CONTROL(tsUkr),
    TESSARIN_CONTROL(tsBulg), TESSARIN_CONTROL(tsOptions), TESSARIN_CONTROL(Panel1),
    TESSARIN_CONTROL(Button6), TESSARIN_CONTROL(Button9), TESSARIN_CONTROL(gbRasSchet),
    TESSARIN_CONTROL(Label1), TESSARIN_CONTROL(Edit3), TESSARIN_CONTROL(Button3),
    TESSARIN_CONTROL(Edit6), TESSARIN_CONTROL(gbCheckORGN), TESSARIN_CONTROL(Edit8),
    TESSARIN_CONTROL(Button7), TESSARIN_CONTROL(gbCheckOKPO), TESSARIN_CONTROL(Edit5),
    TESSARIN_CONTROL(Button5), TESSARIN_CONTROL(gbCorSchet), TESSARIN_CONTROL(Label2),
    TESSARIN_CONTROL(Edit4), TESSARIN_CONTROL(Button4), TESSARIN_CONTROL(Edit7),
    TESSARIN_CONTROL(gbCheckPU), TESSARIN_CONTROL(Edit2), TESSARIN_CONTROL(Button2),
    TESSARIN_CONTROL(gbCheckINN), TESSARIN_CONTROL(Edit1), TESSARIN_CONTROL(Button1),
    TESSARIN_CONTROL(gbRachSchetUkr), TESSARIN_CONTROL(Label9), TESSARIN_CONTROL(Edit9),
    TESSARIN_CONTROL(Edit10), TESSARIN_CONTROL(Button8), TESSARIN_CONTROL(GroupBox1),
    TESSARIN_CONTROL(Edit11), TESSARIN_CONTROL(Button10), TESSARIN_CONTROL(Image1),
    TESSARIN_CONTROL(Label3), TESSARIN_CONTROL(Label4), TESSARIN_CONTROL(Label5),
    TESSARIN_CONTROL(Label6), TESSARIN_CONTROL(Label7), TESSARIN_CONTROL(Label8),
    TESSARIN_CONTROL(gbLang), TESSARIN_CONTROL(CmbBxLang),
};
#undef TESSARIN_CONTROL

// Window classes the driver looks for.
inline constexpr wchar_t kMainWindowClass[] = L"TForm1";
inline constexpr wchar_t kApplicationWindowClass[] = L"TApplication";
